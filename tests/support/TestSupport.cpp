#include "tests/support/TestSupport.h"

#include "framework/LogFile.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testsupport {

std::string SourceDir() {
    return QUADRELL_SOURCE_DIR;
}

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "quadrell-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

std::string TempDir::File(const std::string& relative) const {
    return path + "/" + relative;
}

void TempDir::Write(const std::string& relative, const std::string& bytes) const {
    fs::path target = File(relative);
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void TempDir::Write(const std::string& relative, const std::vector<uint8_t>& bytes) const {
    Write(relative, std::string(bytes.begin(), bytes.end()));
}

void TempDir::Link(const std::string& relative, const std::string& target) const {
    fs::path link = File(relative);
    fs::create_directories(link.parent_path());
    fs::create_symlink(target, link);
}

ScopedChdir::ScopedChdir(const std::string& dir) : previous(fs::current_path().string()) {
    fs::current_path(dir);
}

ScopedChdir::~ScopedChdir() {
    std::error_code ignored;
    fs::current_path(previous, ignored);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

void SetKey(SDLKey key, bool held) {
    Uint8* keys = SDL_GetKeyState(nullptr);
    if (keys) {
        keys[key] = held ? 1 : 0;
    }
}

void ReleaseAllKeys() {
    int count = 0;
    Uint8* keys = SDL_GetKeyState(&count);
    if (keys) {
        std::memset(keys, 0, static_cast<size_t>(count));
    }
}

ScopedLog::ScopedLog() : path(dir.File("log.txt")) {
    logFile.Open(path.c_str());
}

ScopedLog::~ScopedLog() {
    logFile.Close();
}

std::string ScopedLog::Text() const {
    return ReadFile(path);
}

void UseDummyDrivers() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
}

} // namespace testsupport
