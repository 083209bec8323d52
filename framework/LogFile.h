#pragma once

#include <cstdio>

// The program's one diagnostic record, "log.txt" in the working directory.
// Lines take one of two forms: a plain message, or a tagged report
// ("  Tag::Operation: message") from the class that noticed a failure.
// Every write is flushed at once so the log is complete even after a kill.
class LogFile {
  public:
    // Opens (and empties) the file at path. When it cannot be opened, or
    // path is null, the object stays usable and every write is silently
    // skipped.
    explicit LogFile(const char* path);
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Writes "message\n".
    void Write(const char* message);
    // Writes "  tag: message\n".
    void Write(const char* tag, const char* message);

    bool IsOpen() const { return stream != nullptr; }
    // Closes the current file, then opens (and empties) path instead; used
    // by tests that need a log of their own. False when it cannot be opened.
    bool Open(const char* path);
    // Flushes and closes the file; later writes are skipped.
    void Close();

  private:
    FILE* stream;
};

// The process-wide log: opens "log.txt" before main runs and closes it after
// main returns. Every part of the program writes here. A tool may define
// its own (see GameLog.cpp), for example a closed one.
extern LogFile logFile;
