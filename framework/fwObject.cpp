#include "framework/fwObject.h"

namespace {
// Plain integer: objects are made on the main thread only.
int objectCounter = 0;
} // namespace

fwObject::fwObject() : id(++objectCounter) {}

bool fwObject::IsEqual(const fwObject* other) const {
    return other->id == id;
}

int fwObjectCounter() {
    return objectCounter;
}
