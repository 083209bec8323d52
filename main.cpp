// The program's entry: one application object, started, run and torn down,
// with its start and stop recorded in log.txt.
#include <cstdio>

#include "framework/LogFile.h"
#include "frontend/QuadrellApp.h"

int main(int, char*[]) {
    QuadrellApp app;
    logFile.Write("starting application");
    int status = 0;
    try {
        app.Init();
        app.Run();
    } catch (const char* message) {
        logFile.Write(message);
        std::fprintf(stderr, "Quadrell could not start: %s (%s). See log.txt.\n", message,
                     app.InitSDLError().c_str());
        status = 1;
    }
    // A start-up that failed after SDL came up (the game's data) is a
    // failure too, not a normal end.
    if (status == 0 && app.StartupFailure()) {
        std::fprintf(stderr, "Quadrell could not start: %s. See log.txt.\n",
                     app.StartupFailure());
        status = 1;
    }
    logFile.Write("stopping application");
    return status;
}
