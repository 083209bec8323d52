// The C functions the worker's JavaScript calls (levelcheck.js). Each
// answer is a JSON text that stays valid until the next call; level bytes
// arrive as a pointer and a length, since a level may hold any byte.
#include <emscripten/emscripten.h>

#include <string>

#include "web/levelcheck/WorkerLevelCheck.h"

namespace {

WorkerLevelCheck& Checker() {
    static WorkerLevelCheck checker;
    return checker;
}

const char* Answer(std::string text) {
    static std::string last;
    last = std::move(text);
    return last.c_str();
}

std::string Bytes(const char* bytes, int length) {
    return bytes && length > 0 ? std::string(bytes, static_cast<size_t>(length)) : std::string();
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* lc_check(const char* name, const char* bytes, int length,
                                          int quiet) {
    return Answer(Checker().Check(name, Bytes(bytes, length), quiet != 0));
}

EMSCRIPTEN_KEEPALIVE const char* lc_serve_angles(void) {
    return Answer(Checker().ServeAngles());
}

EMSCRIPTEN_KEEPALIVE const char* lc_play(const char* name, const char* bytes, int length, int index,
                                         double frames) {
    return Answer(Checker().Play(name, Bytes(bytes, length), index, frames));
}

EMSCRIPTEN_KEEPALIVE const char* lc_trace(const char* name, const char* bytes, int length,
                                          int index, double frames) {
    return Answer(Checker().Trace(name, Bytes(bytes, length), index, frames));
}

EMSCRIPTEN_KEEPALIVE const char* lc_report(const char* name, const char* bytes, int length,
                                           const char* lines, double frames, double minClear,
                                           int quiet) {
    return Answer(
        Checker().Report(name, Bytes(bytes, length), lines, frames, minClear, quiet != 0));
}

EMSCRIPTEN_KEEPALIVE const char* lc_picture(const char* name, const char* bytes, int length,
                                            int quiet) {
    return Answer(Checker().Picture(name, Bytes(bytes, length), quiet != 0));
}

} // extern "C"
