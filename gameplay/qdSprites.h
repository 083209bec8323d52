#pragma once

#include "framework/fwObjectList.h"

// The scene's owning list of paddle shots (qdSprite).
class qdSprites : public fwObjectList {
  public:
    // Removes and destroys every Dead item; the others keep their order.
    virtual void Purge();
    virtual bool Hook() { return false; }
};
