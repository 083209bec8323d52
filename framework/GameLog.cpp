// The game's log, "log.txt" in the working directory. Constructed before
// main runs and destroyed after it returns, so every other global and local
// object can log during its whole life.
//
// Alone in its file on purpose: a program that defines logFile itself (the
// level tools, whose log must not land in the designer's folder) links
// quadrell_core without this object file, as a static library's members
// are only taken to resolve what is still undefined.
#include "framework/LogFile.h"

LogFile logFile("log.txt");
