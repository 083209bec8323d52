#pragma once

// Base of every image and sprite: a polymorphic object with an identity
// number taken from the process-wide object counter at construction. Lists
// find their elements by this id, never by address.
class fwObject {
  public:
    // Takes the next id: the first object of the process gets 1, ids are
    // never reused.
    fwObject();
    virtual ~fwObject() = default;
    fwObject(const fwObject&) = delete;
    fwObject& operator=(const fwObject&) = delete;

    // True when other (never null) carries the same id.
    virtual bool IsEqual(const fwObject* other) const;

    int id;
};

// The number of objects constructed so far in this process (the last id
// handed out). Single-threaded, never reset.
int fwObjectCounter();
