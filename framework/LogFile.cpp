#include "framework/LogFile.h"

// The global logFile is defined in GameLog.cpp, apart from the class, so
// that a tool can define its own instead.

LogFile::LogFile(const char* path) : stream(nullptr) {
    if (path)
        Open(path);
}

LogFile::~LogFile() {
    Close();
}

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
