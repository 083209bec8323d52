#include "framework/fwObjectList.h"

fwObjectList::~fwObjectList() {
    DeleteAll();
}

int fwObjectList::FindMatch(const fwObject* object) const {
    if (!object) {
        return -1;
    }
    // The element is asked, so a subclass's notion of equality decides.
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (elements[i] && elements[i]->IsEqual(object)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int fwObjectList::Add(fwObject* object) {
    elements.push_back(object);
    return static_cast<int>(elements.size()) - 1;
}

bool fwObjectList::Remove(fwObject* object) {
    if (elements.empty() || !object) {
        return false;
    }
    int index = FindMatch(object);
    if (index >= 0) {
        elements.erase(elements.begin() + index);
    }
    return true;
}

fwObject* fwObjectList::RemoveAt(int index) {
    if (elements.empty()) {
        return nullptr;
    }
    fwObject* object = elements[static_cast<std::size_t>(index)];
    return Remove(object) ? object : nullptr;
}

bool fwObjectList::Delete(fwObject* object) {
    if (elements.empty() || !object) {
        return false;
    }
    int index = FindMatch(object);
    if (index >= 0) {
        elements.erase(elements.begin() + index);
    }
    delete object;
    return true;
}

bool fwObjectList::DeleteAt(int index) {
    if (elements.empty()) {
        return false;
    }
    fwObject* object = elements[static_cast<std::size_t>(index)];
    if (!object) {
        return false;
    }
    int match = FindMatch(object);
    if (match >= 0) {
        elements.erase(elements.begin() + match);
    }
    delete object;
    return true;
}

void fwObjectList::DeleteAll() {
    // Detach first so that a destructor running below never sees a
    // half-emptied list.
    std::vector<fwObject*> doomed;
    doomed.swap(elements);
    for (fwObject* object : doomed) {
        delete object;
    }
}

fwObject* fwObjectList::FindById(int id) const {
    for (fwObject* object : elements) {
        if (object && object->id == id) {
            return object;
        }
    }
    return nullptr;
}

int fwObjectList::IndexOf(const fwObject* object) const {
    return FindMatch(object);
}
