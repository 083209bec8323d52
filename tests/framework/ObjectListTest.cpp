// Ids from the process-wide counter and the owning list's exact semantics.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "framework/fwObject.h"
#include "framework/fwObjectList.h"
#include "framework/fwSDLImage.h"
#include "framework/fwSDLSprite.h"

namespace {

// Records every destruction so ownership can be checked exactly.
struct Tracked : fwObject {
    explicit Tracked(std::vector<int>& log) : destroyed(log) {}
    ~Tracked() override { destroyed.push_back(id); }
    std::vector<int>& destroyed;
};

struct ListTest : ::testing::Test {
    std::vector<int> destroyed;
    fwObjectList list;
    std::vector<Tracked*> items;

    void Fill(int count) {
        for (int i = 0; i < count; ++i) {
            items.push_back(new Tracked(destroyed));
            EXPECT_EQ(i, list.Add(items.back()));
        }
    }
    std::vector<fwObject*> Contents() const {
        std::vector<fwObject*> out;
        for (int i = 0; i < list.GetCount(); ++i) {
            out.push_back(list.Get(i));
        }
        return out;
    }
};

} // namespace

TEST(ObjectIds, CountUpAcrossClassesAndAreNeverReused) {
    const int before = fwObjectCounter();
    int first, second, third;
    {
        fwSDLImage image;
        fwSDLSprite sprite;
        first = image.id;
        second = sprite.id;
    }
    fwSDLImage later;
    third = later.id;
    EXPECT_EQ(before + 1, first);
    EXPECT_EQ(before + 2, second);
    EXPECT_EQ(before + 3, third);
    EXPECT_EQ(third, fwObjectCounter());
}

TEST(ObjectIds, EqualityIsByIdNotAddress) {
    fwObject a, b;
    EXPECT_FALSE(a.IsEqual(&b));
    EXPECT_TRUE(a.IsEqual(&a));
    fwObject impostor;
    impostor.id = a.id;
    EXPECT_TRUE(a.IsEqual(&impostor));
}

TEST_F(ListTest, EmptyListAnswers) {
    Tracked outsider(destroyed);
    EXPECT_FALSE(list.Remove(&outsider));
    EXPECT_EQ(nullptr, list.RemoveAt(0));
    EXPECT_FALSE(list.Delete(&outsider)); // an empty list destroys nothing
    EXPECT_FALSE(list.DeleteAt(0));
    EXPECT_EQ(nullptr, list.FindById(outsider.id));
    EXPECT_EQ(-1, list.IndexOf(&outsider));
    list.DeleteAll();
    EXPECT_EQ(0, list.GetCount());
}

TEST_F(ListTest, NullArgumentsAreRefused) {
    Fill(2);
    EXPECT_FALSE(list.Remove(nullptr));
    EXPECT_FALSE(list.Delete(nullptr));
    EXPECT_EQ(-1, list.IndexOf(nullptr));
    EXPECT_EQ(2, list.GetCount());
    EXPECT_TRUE(destroyed.empty());
}

TEST_F(ListTest, RemoveOfAnUnheldObjectSucceedsAndChangesNothing) {
    Fill(3);
    Tracked outsider(destroyed);
    EXPECT_TRUE(list.Remove(&outsider));
    EXPECT_EQ(3, list.GetCount());
    EXPECT_TRUE(destroyed.empty());
}

TEST_F(ListTest, RemoveAtShiftsLaterElementsAndHandsOverOwnership) {
    Fill(5);
    fwObject* taken = list.RemoveAt(2);
    ASSERT_EQ(items[2], taken);
    EXPECT_EQ((std::vector<fwObject*>{items[0], items[1], items[3], items[4]}), Contents());
    EXPECT_TRUE(destroyed.empty());
    const int takenId = taken->id;
    delete taken;
    EXPECT_EQ(std::vector<int>{takenId}, destroyed);
}

TEST_F(ListTest, DeleteDestroysTheObjectEvenWhenNotHeld) {
    Fill(2);
    Tracked* outsider = new Tracked(destroyed);
    const int outsiderId = outsider->id;
    EXPECT_TRUE(list.Delete(outsider));
    EXPECT_EQ(std::vector<int>{outsiderId}, destroyed);
    EXPECT_EQ(2, list.GetCount());

    const int firstId = items[0]->id;
    EXPECT_TRUE(list.Delete(items[0]));
    EXPECT_EQ((std::vector<int>{outsiderId, firstId}), destroyed);
    EXPECT_EQ(std::vector<fwObject*>{items[1]}, Contents());
}

TEST_F(ListTest, DeleteAtDestroysAndShifts) {
    Fill(3);
    const int middleId = items[1]->id;
    EXPECT_TRUE(list.DeleteAt(1));
    EXPECT_EQ(std::vector<int>{middleId}, destroyed);
    EXPECT_EQ((std::vector<fwObject*>{items[0], items[2]}), Contents());
}

TEST_F(ListTest, FindByIdAndIndexOfMatchTheFirstElementWithThatId) {
    Fill(3);
    EXPECT_EQ(items[1], list.FindById(items[1]->id));
    EXPECT_EQ(2, list.IndexOf(items[2]));
    EXPECT_EQ(nullptr, list.FindById(-7));
    // Matching asks the elements for their id, so an object with the same id
    // at another address is found at the held one's index.
    fwObject lookalike;
    lookalike.id = items[2]->id;
    EXPECT_EQ(2, list.IndexOf(&lookalike));
}

TEST_F(ListTest, DeleteAllDestroysEachOnceInOrderAndTheListRefills) {
    Fill(4);
    std::vector<int> ids;
    for (Tracked* t : items) {
        ids.push_back(t->id);
    }
    list.DeleteAll();
    EXPECT_EQ(ids, destroyed);
    EXPECT_EQ(0, list.GetCount());
    items.clear();
    Fill(1);
    EXPECT_EQ(1, list.GetCount());
}

TEST(ListOwnership, DestroyingAListDestroysEachElementExactlyOnce) {
    std::vector<int> destroyed;
    std::set<int> ids;
    {
        fwObjectList list;
        for (int i = 0; i < 6; ++i) {
            Tracked* t = new Tracked(destroyed);
            ids.insert(t->id);
            list.Add(t);
        }
        // One element taken out and deleted by hand must not be destroyed again.
        delete list.RemoveAt(0);
    }
    EXPECT_EQ(6u, destroyed.size());
    EXPECT_EQ(ids, std::set<int>(destroyed.begin(), destroyed.end()));
}
