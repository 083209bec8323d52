#pragma once

#include "framework/fwObjectList.h"

// The scene's owning list of falling capsules (CPowerUp).
class QDPowerUps : public fwObjectList {};
