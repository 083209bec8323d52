#pragma once

#include <cstddef>
#include <vector>

#include "framework/fwObject.h"

// An ordered list that owns its objects: Delete*, DeleteAll and the
// destructor destroy them; Remove and RemoveAt hand them back to the caller.
// Matching is by id (the element's IsEqual), first match wins. Indexes are
// 0-based; an index outside 0..count-1 is a caller error and is not checked.
class fwObjectList {
  public:
    fwObjectList() = default;
    virtual ~fwObjectList();
    fwObjectList(const fwObjectList&) = delete;
    fwObjectList& operator=(const fwObjectList&) = delete;

    // Appends object (never null); returns its index. Takes ownership.
    int Add(fwObject* object);
    // Detaches the first match without destroying it. False only for an
    // empty list or a null argument; true even when nothing matched.
    bool Remove(fwObject* object);
    // Detaches the element at index and returns it (the caller owns it), or
    // null for an empty list.
    fwObject* RemoveAt(int index);
    // Detaches the first match and destroys object, held or not. False only
    // for an empty list or a null argument.
    bool Delete(fwObject* object);
    // Detaches and destroys the element at index; false for an empty list.
    bool DeleteAt(int index);
    // Destroys every element and leaves the list empty and reusable.
    void DeleteAll();
    fwObject* FindById(int id) const;
    // Index of the first match, or -1.
    int IndexOf(const fwObject* object) const;

    int GetCount() const { return static_cast<int>(elements.size()); }
    fwObject* Get(int index) const { return elements[static_cast<std::size_t>(index)]; }

  private:
    int FindMatch(const fwObject* object) const;

    std::vector<fwObject*> elements;
};
