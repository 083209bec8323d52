#include "framework/LogFile.h"

// Constructed before main runs and destroyed after it returns, so every
// other global and local object can log during its whole life.
LogFile logFile("log.txt");

LogFile::LogFile(const char* path) : stream(nullptr) { Open(path); }

LogFile::~LogFile() { Close(); }

bool LogFile::Open(const char* path) {
    Close();
    stream = std::fopen(path, "w");
    return stream != nullptr;
}

void LogFile::Close() {
    if (stream) {
        std::fflush(stream);
        std::fclose(stream);
        stream = nullptr;
    }
}

void LogFile::Write(const char* message) {
    if (!stream) {
        return;
    }
    std::fprintf(stream, "%s\n", message);
    // Flushed at once: the log must be complete up to the last write even
    // when the process is killed.
    std::fflush(stream);
}

void LogFile::Write(const char* tag, const char* message) {
    if (!stream) {
        return;
    }
    std::fprintf(stream, "  %s: %s\n", tag, message);
    std::fflush(stream);
}
