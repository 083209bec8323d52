#pragma once

#include "framework/fwObjectList.h"

// The application's owning list of images loaded on request (SDLApp::LoadImage).
class fwSDLImages : public fwObjectList {};
