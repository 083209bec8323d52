#include "framework/ConfigFileReader.h"

#include <cstdio>

#include "framework/LogFile.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Only A to Z change: text is handled as bytes.
std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

void SkipSpace(const char*& p) {
    while (*p && IsSpace(*p)) {
        ++p;
    }
}

// Outcome of one line: go on with the next, or stop reading the file.
enum class LineResult { Next, Stop };

LineResult Fail(const char* message) {
    logFile.Write(message);
    return LineResult::Stop;
}

LineResult ParseLine(const char* p, std::string& section,
                     std::vector<std::pair<std::string, std::string>>& entries) {
    SkipSpace(p);
    if (*p == '\0' || *p == ';' || *p == '#') {
        return LineResult::Next;
    }
    if (*p == '[') {
        const char* start = p + 1;
        const char* close = start;
        while (*close && *close != ']') {
            ++close;
        }
        if (*close != ']') {
            return Fail("Config file reader: missing close bracket ']'");
        }
        section.assign(start, close);
        return LineResult::Next;
    }

    const char* keyStart = p;
    while (*p && !IsSpace(*p) && *p != '=') {
        ++p;
    }
    std::string key(keyStart, p);
    if (*p == '\0') {
        // Reported, then the next check stops the read.
        logFile.Write("Config file reader: Missing '=' after key\n");
    }
    SkipSpace(p);
    if (*p == '\0') {
        return Fail("Config file reader: Unexpected end of line\n");
    }
    if (*p != '=') {
        return Fail("Config file reader: '=' expected\n");
    }
    ++p;
    SkipSpace(p);
    if (*p == '\0') {
        return Fail("Config file reader: Missing value after '='\n");
    }

    std::string value;
    if (*p == '"') {
        const char* start = ++p;
        while (*p && *p != '"') {
            ++p;
        }
        if (*p != '"') {
            return Fail("Config file reader: missing closing quotation mark (\")\n");
        }
        value.assign(start, p);
        ++p;
    } else {
        const char* start = p;
        while (*p && !IsSpace(*p)) {
            ++p;
        }
        value.assign(start, p);
    }

    SkipSpace(p);
    if (*p != '\0') {
        return Fail("Config file reader: Unexpected text at the end of the line\n");
    }
    if (!section.empty()) {
        key = section + "." + key;
    }
    entries.emplace_back(Lower(key), value);
    return LineResult::Next;
}

} // namespace

ConfigFileReader::ConfigFileReader(const char* path) {
    Read(path);
}

bool ConfigFileReader::Read(const char* path) {
    FILE* file = std::fopen(path, "r");
    if (!file) {
        logFile.Write("Config file reader: unable to open");
        return false;
    }
    const bool ok = ReadFrom(file);
    std::fclose(file);
    return ok;
}

bool ConfigFileReader::ReadFrom(FILE* stream) {
    std::string section;
    // Lines longer than 999 characters arrive in pieces, each parsed as a
    // line of its own. A last line without a line break is read like any
    // other.
    char line[1000];
    while (std::fgets(line, sizeof line, stream)) {
        if (ParseLine(line, section, entries) == LineResult::Stop) {
            return false;
        }
    }
    // A read that failed (a folder opens but cannot be read, a disk error)
    // is not the end of the file and must not pass as a complete read.
    if (std::ferror(stream)) {
        logFile.Write("Config file reader: unable to read");
        return false;
    }
    return true;
}

std::string ConfigFileReader::Get(const std::string& key) const {
    for (const auto& entry : entries) {
        if (entry.first == key) {
            return Lower(entry.second);
        }
    }
    return std::string();
}

std::string ConfigFileReader::Get(const std::string& section, const std::string& key) const {
    return Get(section + "." + key);
}
