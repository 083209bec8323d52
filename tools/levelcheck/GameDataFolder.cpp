#include "tools/levelcheck/GameDataFolder.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

bool IsDirectory(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string Absolute(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    std::string result = resolved;
    std::free(resolved);
    return result;
}

// The installed data, relative to the folder of the running program.
std::string InstalledData() {
    char self[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return "";
    std::string program(self, static_cast<size_t>(length));
    return program.substr(0, program.find_last_of('/') + 1) + QUADRELL_INSTALLED_DATA;
}

} // namespace

GameDataFolder::~GameDataFolder() {
    Leave();
}

bool GameDataFolder::Find(const std::string& given, std::string* error) {
    if (!given.empty()) {
        if (!IsDirectory(given)) {
            *error = "the data folder " + given + " given with --data does not exist";
            return false;
        }
        path = Absolute(given);
        return true;
    }
    for (const std::string& candidate : {std::string("data"), InstalledData()}) {
        if (!candidate.empty() && IsDirectory(candidate)) {
            path = Absolute(candidate);
            return true;
        }
    }
    *error =
        "no data/ directory in the working directory and no installed game data; --play, --png and "
        "--sweep "
        "need the game's images, font and sounds: run levelcheck from the game's folder or name "
        "the data folder with --data DIR";
    return false;
}

bool GameDataFolder::Enter(std::string* error) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/levelcheck.XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) {
        *error = "cannot make a temporary folder (" + std::string(std::strerror(errno)) + ")";
        return false;
    }
    linkFolder = name.data();
    savedDirectory = open(".", O_RDONLY | O_DIRECTORY);
    if (symlink(path.c_str(), (linkFolder + "/data").c_str()) != 0 || savedDirectory < 0 ||
        chdir(linkFolder.c_str()) != 0) {
        *error = "cannot link the data folder " + path + " (" + std::strerror(errno) + ")";
        Leave();
        return false;
    }
    return true;
}

void GameDataFolder::Leave() {
    if (savedDirectory >= 0) {
        if (fchdir(savedDirectory) != 0) {
            // Nowhere better to go; later file names may then not resolve.
        }
        close(savedDirectory);
        savedDirectory = -1;
    }
    if (!linkFolder.empty()) {
        unlink((linkFolder + "/data").c_str());
        rmdir(linkFolder.c_str());
        linkFolder.clear();
    }
}
