// The tone's wave: periods of a square wave laid out sample by sample.
#include "console/tone.h"

#include <cstddef>

namespace quipular {
namespace {

constexpr int kHeader = 44;
constexpr uint8_t kLow = 96, kHigh = 160, kRest = 128;
constexpr int kBeepHz = 880;
constexpr int kBeepSamples = kToneRate / 8;

void Put32(std::vector<uint8_t>& w, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) w[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void Put16(std::vector<uint8_t>& w, size_t at, uint16_t v) {
  w[at] = static_cast<uint8_t>(v);
  w[at + 1] = static_cast<uint8_t>(v >> 8);
}

// The canonical 44-byte header with the real sizes.
void WriteHeader(std::vector<uint8_t>& wave) {
  uint32_t data = static_cast<uint32_t>(wave.size() - kHeader);
  const char* tags[] = {"RIFF", "WAVE", "fmt ", "data"};
  const size_t tag_at[] = {0, 8, 12, 36};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) wave[tag_at[i] + j] = static_cast<uint8_t>(tags[i][j]);
  Put32(wave, 4, 36 + data);
  Put32(wave, 16, 16);         // format chunk size
  Put16(wave, 20, 1);          // PCM
  Put16(wave, 22, 1);          // mono
  Put32(wave, 24, kToneRate);  // samples per second
  Put32(wave, 28, kToneRate);  // bytes per second
  Put16(wave, 32, 1);          // block size
  Put16(wave, 34, 8);          // bits per sample
  Put32(wave, 40, data);
}

}  // namespace

std::vector<uint8_t> BuildToneWave(int hz) {
  if (hz <= 0) return {};
  if (hz > kToneRate) hz = kToneRate;
  const int period = kToneRate / hz;
  std::vector<uint8_t> wave(kHeader);
  // Periods are written while their start lies at or below rate - period;
  // the data ends where the first unwritten period would start.
  for (int k = 0;; ++k) {
    int start = static_cast<int>(int64_t{k} * kToneRate / hz);
    if (start > kToneRate - period) {
      wave.resize(kHeader + static_cast<size_t>(start));
      break;
    }
    int next = static_cast<int>(int64_t{k + 1} * kToneRate / hz);
    wave.resize(kHeader + static_cast<size_t>(next), kHigh);
    for (int s = start; s < start + period / 2; ++s) wave[kHeader + s] = kLow;
  }
  if (wave.size() > kHeader) wave.back() = kRest;
  WriteHeader(wave);
  return wave;
}

std::vector<uint8_t> BuildBeepWave() {
  std::vector<uint8_t> wave = BuildToneWave(kBeepHz);
  wave.resize(kHeader + kBeepSamples);
  wave.back() = kRest;
  WriteHeader(wave);
  return wave;
}

}  // namespace quipular
