#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

// Reads "key = value" lines, optionally grouped under [section] headers,
// into memory. Keys are stored lower-cased with their "section." prefix,
// values exactly as written (double quotes allow spaces). Errors are logged
// with the prefix "Config file reader: "; pairs read before an error stay.
// The game itself reads no configuration; this is for tools and mods.
class ConfigFileReader {
  public:
    // Reads path at once; the result of the read is ignored.
    explicit ConfigFileReader(const char* path);

    // Appends every pair of path; true when the whole file was read. A file
    // that opens but cannot be read logs "unable to read" and answers false.
    bool Read(const char* path);
    // The reading half of Read, for a stream the caller opened and closes
    // (a file, or bytes in memory through fmemopen); the same parsing,
    // messages and result.
    bool ReadFrom(FILE* stream);
    // The first value stored under key, lower-cased; empty when absent. The
    // lookup is case-sensitive, so keys must be asked in lower case.
    std::string Get(const std::string& key) const;
    std::string Get(const std::string& section, const std::string& key) const;

    const std::vector<std::pair<std::string, std::string>>& Entries() const { return entries; }

  private:
    std::vector<std::pair<std::string, std::string>> entries;
};
