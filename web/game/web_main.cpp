// The browser build's entry. The program's own main (main.cpp, compiled as
// quadrell_main here) returns its status after the main loop has slept many
// times, each sleep unwinding the wasm stack to the browser; the runtime
// then loses main's return value and ends with status 0. Passing it to
// exit() keeps it, so that a failed start ends the run with status 1 as on
// the desktop.
#include <cstdlib>

int quadrell_main(int argc, char* argv[]); // main.cpp

int main(int argc, char* argv[]) {
    std::exit(quadrell_main(argc, argv));
}
