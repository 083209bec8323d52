#pragma once

#include <string>

// Where levelcheck's --play and --png find the game's data (images, font,
// sounds): the folder named by --data; else data/ in the working directory;
// else the installed data, found relative to the program itself (so an
// installed quadrell-levelcheck works from any folder).
//
// The game's scene loads "data/..." relative to the working directory, so
// Enter makes the working directory a temporary folder whose "data" links
// to the found one, and Leave (or the destructor) goes back. Only the
// scene's resource loading should run in between: level files named on the
// command line are relative to the original working directory.
class GameDataFolder {
  public:
    GameDataFolder() = default;
    ~GameDataFolder();
    GameDataFolder(const GameDataFolder&) = delete;
    GameDataFolder& operator=(const GameDataFolder&) = delete;

    // Looks for the data folder; given is the --data option (may be empty).
    // False, with the reason in *error, when none is found.
    bool Find(const std::string& given, std::string* error);
    // After Find. False, with the reason in *error, when the temporary
    // folder cannot be made or entered.
    bool Enter(std::string* error);
    void Leave();

    // The found folder, as an absolute path.
    std::string path;

  private:
    std::string linkFolder;
    int savedDirectory = -1;
};
