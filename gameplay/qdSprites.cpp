#include "gameplay/qdSprites.h"

#include "framework/fwSDLSprite.h"

void qdSprites::Purge() {
    int i = 0;
    while (i < GetCount()) {
        auto* sprite = dynamic_cast<fwSDLSprite*>(Get(i));
        if (sprite && sprite->state == fwSDLSprite::Dead) {
            DeleteAt(i); // later items move down one place
        } else {
            ++i;
        }
    }
}
