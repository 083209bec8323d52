// The program's entry: one application object, started, run and torn down,
// with its start and stop recorded in log.txt.
#include <cstdio>
#include <string>

#include "framework/LogFile.h"
#include "framework/SDLFont.h"
#include "frontend/QuadrellApp.h"

namespace {

// The one line that says why the program could not start. A font that
// failed leaves its message without a line break; this line still stands
// on a line of its own.
void ReportStartFailure(const std::string& why) {
    std::fprintf(stderr, "%sQuadrell could not start: %s. See log.txt.\n",
                 SDLFont::ErrorLineOpen() ? "\n" : "", why.c_str());
}

} // namespace

int main(int, char*[]) {
    QuadrellApp app;
    logFile.Write("starting application");
    int status = 0;
    try {
        app.Init();
        app.Run();
    } catch (const char* message) {
        logFile.Write(message);
        ReportStartFailure(std::string(message) + " (" + app.InitSDLError() + ")");
        status = 1;
    }
    // A start-up that failed after SDL came up (the game's data) is a
    // failure too, not a normal end.
    if (status == 0 && app.StartupFailure()) {
        ReportStartFailure(app.StartupFailure());
        status = 1;
    }
    logFile.Write("stopping application");
    return status;
}
