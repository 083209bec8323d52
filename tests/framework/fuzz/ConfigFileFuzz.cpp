// Any byte string as a configuration file, read from memory through the
// reader's own stream code: every stored key is lower case, every value is
// bytes of the input no longer than the line they came from, and lookups
// answer in lower case with the first entry's value.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "framework/ConfigFileReader.h"
#include "framework/LogFile.h"

namespace {

void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

bool HasUpper(const std::string& text) {
    for (char c : text) {
        if (c >= 'A' && c <= 'Z') {
            return true;
        }
    }
    return false;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// The reader takes a line at most 999 bytes at a time.
size_t LongestLine(const uint8_t* data, size_t size) {
    size_t longest = 0;
    size_t run = 0;
    for (size_t i = 0; i < size; ++i) {
        run = data[i] == '\n' ? 0 : run + 1;
        if (run > longest) {
            longest = run;
        }
    }
    return longest < 999 ? longest : 999;
}

} // namespace

// The harness builds the reader from its sources without the game's library,
// so it defines the log the reader writes to; opened on /dev/null below.
LogFile logFile(nullptr);

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Nearly every input logs an error; the lines go nowhere rather than
    // into a log.txt that grows by megabytes a minute.
    logFile.Open("/dev/null");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Copied from a reader of nothing: no file is opened per input.
    static const ConfigFileReader empty("");
    if (size == 0) {
        return 0;
    }
    FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!stream) {
        return 0;
    }
    ConfigFileReader reader = empty;
    reader.ReadFrom(stream);
    std::fclose(stream);

    const size_t longest = LongestLine(data, size);
    for (const auto& entry : reader.Entries()) {
        Check(!HasUpper(entry.first));
        Check(entry.second.size() <= longest);
        Check(entry.second.empty() ||
              memmem(data, size, entry.second.data(), entry.second.size()) != nullptr);
    }
    std::string keys[] = {"", "title", "video.width", "video."};
    for (const std::string& key : keys) {
        Check(!HasUpper(reader.Get(key)));
    }
    if (!reader.Entries().empty()) {
        const auto& first = reader.Entries().front();
        Check(reader.Get(first.first) == Lower(first.second));
        const size_t dot = first.first.find('.');
        if (dot != std::string::npos) {
            Check(reader.Get(first.first.substr(0, dot), first.first.substr(dot + 1)) ==
                  reader.Get(first.first));
        }
    }
    return 0;
}
