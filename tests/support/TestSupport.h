#pragma once

// Helpers shared by the test folders: scratch directories, a working
// directory that follows the test, and the source tree's location.

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// The repository root (where data/ lives), fixed at configure time.
std::string SourceDir();

// A fresh directory under the system's temporary folder, removed with
// everything in it when the object goes away.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path; }
    // Path + "/" + relative.
    std::string File(const std::string& relative) const;
    // Writes bytes to File(relative), creating parent folders.
    void Write(const std::string& relative, const std::string& bytes) const;
    void Write(const std::string& relative, const std::vector<uint8_t>& bytes) const;
    // Creates File(relative) as a symbolic link to target.
    void Link(const std::string& relative, const std::string& target) const;

  private:
    std::string path;
};

// Changes the working directory for the object's lifetime.
class ScopedChdir {
  public:
    explicit ScopedChdir(const std::string& dir);
    ~ScopedChdir();
    ScopedChdir(const ScopedChdir&) = delete;
    ScopedChdir& operator=(const ScopedChdir&) = delete;

  private:
    std::string previous;
};

// The whole file as bytes; empty when it cannot be read.
std::string ReadFile(const std::string& path);

// The lines of text without their line feeds; an unfinished last line
// counts as a line.
std::vector<std::string> Lines(const std::string& text);

// Holds or releases a key the way the game sees it: SDL's key-state array
// is written directly and survives event pumping. Needs SDL initialised.
void SetKey(SDLKey key, bool held);
// Releases every key.
void ReleaseAllKeys();

// Points the program's log ("log.txt", the global logFile) at a fresh file
// in a scratch folder for the object's lifetime, so a test can read exactly
// what was logged while it ran. The log is closed afterwards.
class ScopedLog {
  public:
    ScopedLog();
    ~ScopedLog();
    ScopedLog(const ScopedLog&) = delete;
    ScopedLog& operator=(const ScopedLog&) = delete;

    // Everything logged so far.
    std::string Text() const;
    const std::string& Path() const { return path; }

  private:
    TempDir dir;
    std::string path;
};

// Sets SDL_VIDEODRIVER and SDL_AUDIODRIVER to "dummy" unless already set.
void UseDummyDrivers();

} // namespace testsupport
