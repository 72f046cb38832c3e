// The console's tone: a square wave built in memory as a complete wave file,
// played looping by the front-end until it is stopped.
#pragma once

#include <cstdint>
#include <vector>

namespace quipular {

constexpr int kToneRate = 11025;  // samples per second, 8-bit mono

// About one second of a square wave of hz hertz with its 44-byte RIFF/WAVE
// header: period k starts at sample k * 11025 / hz and holds 96 for its first
// half period and 160 for the rest; the last sample is 128 (the level at
// rest), so the loop joins without a click. Empty for hz <= 0; frequencies
// above the sample rate are taken as the sample rate.
std::vector<uint8_t> BuildToneWave(int hz);

// The console's beep: a short tone, played once.
std::vector<uint8_t> BuildBeepWave();

}  // namespace quipular
