#include "tests/support/MediaFixtures.h"

#include <cstdio>

namespace fixtures {

namespace {

void Put32BE(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void Put16LE(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32LE(std::vector<uint8_t>& out, uint32_t v) {
    Put16LE(out, v & 0xFFFF);
    Put16LE(out, v >> 16);
}

void PutText(std::vector<uint8_t>& out, const char* text, size_t width) {
    size_t i = 0;
    for (; text[i] && i < width; ++i) {
        out.push_back(static_cast<uint8_t>(text[i]));
    }
    for (; i < width; ++i) {
        out.push_back(0);
    }
}

uint32_t Crc32(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return crc ^ 0xFFFFFFFFu;
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
    Put32BE(out, static_cast<uint32_t>(body.size()));
    std::vector<uint8_t> crcInput(type, type + 4);
    crcInput.insert(crcInput.end(), body.begin(), body.end());
    out.insert(out.end(), crcInput.begin(), crcInput.end());
    Put32BE(out, Crc32(crcInput.data(), crcInput.size()));
}

// zlib stream made of stored (uncompressed) deflate blocks: no compressor
// needed, and every decoder accepts it.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out = {0x78, 0x01};
    size_t pos = 0;
    do {
        size_t len = raw.size() - pos;
        if (len > 65535) {
            len = 65535;
        }
        bool last = pos + len == raw.size();
        out.push_back(last ? 1 : 0);
        Put16LE(out, static_cast<uint32_t>(len));
        Put16LE(out, static_cast<uint32_t>(~len & 0xFFFF));
        out.insert(out.end(), raw.begin() + static_cast<long>(pos),
                   raw.begin() + static_cast<long>(pos + len));
        pos += len;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    Put32BE(out, (b << 16) | a);
    return out;
}

} // namespace

std::vector<uint8_t> PngBytes(int width, int height, const std::vector<Rgb>& pixels) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    Put32BE(header, static_cast<uint32_t>(width));
    Put32BE(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, no interlace
    PutChunk(out, "IHDR", header);
    std::vector<uint8_t> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0); // filter: none
        for (int x = 0; x < width; ++x) {
            const Rgb& p = pixels[static_cast<size_t>(y * width + x)];
            raw.insert(raw.end(), {p.r, p.g, p.b});
        }
    }
    PutChunk(out, "IDAT", StoredZlib(raw));
    PutChunk(out, "IEND", {});
    return out;
}

std::vector<uint8_t> WavBytes(int milliseconds, int sampleRate) {
    const uint32_t samples = static_cast<uint32_t>(sampleRate) * milliseconds / 1000;
    const uint32_t dataSize = samples * 2;
    std::vector<uint8_t> out;
    PutText(out, "RIFF", 4);
    Put32LE(out, 36 + dataSize);
    PutText(out, "WAVE", 4);
    PutText(out, "fmt ", 4);
    Put32LE(out, 16);
    Put16LE(out, 1); // PCM
    Put16LE(out, 1); // mono
    Put32LE(out, static_cast<uint32_t>(sampleRate));
    Put32LE(out, static_cast<uint32_t>(sampleRate) * 2);
    Put16LE(out, 2);
    Put16LE(out, 16);
    PutText(out, "data", 4);
    Put32LE(out, dataSize);
    for (uint32_t i = 0; i < samples; ++i) {
        // About 440 Hz at the default rate.
        int16_t value = ((i / 25) % 2) ? 6000 : -6000;
        Put16LE(out, static_cast<uint16_t>(value));
    }
    return out;
}

std::vector<uint8_t> ModBytes() {
    const uint32_t sampleWords = 32;
    std::vector<uint8_t> out;
    PutText(out, "fixture tune", 20);
    for (int s = 0; s < 31; ++s) {
        PutText(out, s == 0 ? "square" : "", 22);
        bool used = s == 0;
        out.push_back(0);
        out.push_back(static_cast<uint8_t>(used ? sampleWords : 0)); // length, words, big endian
        out.push_back(0);                                            // finetune
        out.push_back(used ? 64 : 0);                                // volume
        out.insert(out.end(), {0, 0});                               // loop start
        out.insert(out.end(), {0, static_cast<uint8_t>(used ? sampleWords : 1)}); // loop length
    }
    out.push_back(1);   // song length: one position
    out.push_back(127); // restart byte
    for (int i = 0; i < 128; ++i) {
        out.push_back(0); // every position plays pattern 0
    }
    PutText(out, "M.K.", 4);
    // Pattern 0: 64 rows of 4 channels; row 0, channel 0 plays instrument 1
    // at period 428 (C-2); everything else is empty.
    std::vector<uint8_t> pattern(64 * 4 * 4, 0);
    const uint32_t period = 428;
    pattern[0] = static_cast<uint8_t>(period >> 8);
    pattern[1] = static_cast<uint8_t>(period & 0xFF);
    pattern[2] = 0x10;
    out.insert(out.end(), pattern.begin(), pattern.end());
    for (uint32_t i = 0; i < sampleWords * 2; ++i) {
        out.push_back(static_cast<uint8_t>(i < sampleWords ? 0x40 : 0xC0));
    }
    return out;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

bool WritePng(const std::string& path, int width, int height, const std::vector<Rgb>& pixels) {
    return WriteBytes(path, PngBytes(width, height, pixels));
}

std::vector<uint8_t> SolidPngBytes(int width, int height, Rgb colour) {
    return PngBytes(
        width, height,
        std::vector<Rgb>(static_cast<size_t>(width) * static_cast<size_t>(height), colour));
}

bool WriteWav(const std::string& path, int milliseconds, int sampleRate) {
    return WriteBytes(path, WavBytes(milliseconds, sampleRate));
}

bool WriteMod(const std::string& path) {
    return WriteBytes(path, ModBytes());
}

std::string SystemFont() {
    return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
}

} // namespace fixtures
