#pragma once

// Small media files made at test time, so tests never depend on the game's
// own data folder: PNG pictures, WAV samples and a tracker module.

#include <cstdint>
#include <string>
#include <vector>

namespace fixtures {

struct Rgb {
    uint8_t r, g, b;
};

// A picture of one colour, as PNG bytes.
std::vector<uint8_t> SolidPngBytes(int width, int height, Rgb colour);

// A truecolour PNG (8 bits per channel, no alpha) of width x height pixels,
// given row by row. Returns false when the file cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<Rgb>& pixels);

// A 16-bit mono PCM WAV of a square wave lasting the given milliseconds.
bool WriteWav(const std::string& path, int milliseconds, int sampleRate = 22050);

// A four-channel "M.K." module: one looping square-wave instrument playing a
// note on the first row of a single pattern.
bool WriteMod(const std::string& path);

// The bytes of the three writers, for tests that want to damage them.
std::vector<uint8_t> PngBytes(int width, int height, const std::vector<Rgb>& pixels);
std::vector<uint8_t> WavBytes(int milliseconds, int sampleRate = 22050);
std::vector<uint8_t> ModBytes();

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// A TrueType font of the system (DejaVu Sans), installed with the test
// dependencies.
std::string SystemFont();

} // namespace fixtures
