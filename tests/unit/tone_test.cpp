// The tone's wave: the header with the real sizes, the layout of the
// periods, the last sample at rest, and the beep.
#include "console/tone.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace quipular {
namespace {

uint32_t Le32(const std::vector<uint8_t>& w, size_t at) {
  return w[at] | w[at + 1] << 8 | w[at + 2] << 16 | static_cast<uint32_t>(w[at + 3]) << 24;
}

uint16_t Le16(const std::vector<uint8_t>& w, size_t at) {
  return static_cast<uint16_t>(w[at] | w[at + 1] << 8);
}

void ExpectHeader(const std::vector<uint8_t>& w, uint32_t data) {
  ASSERT_EQ(w.size(), 44 + data);
  EXPECT_EQ(std::string(w.begin(), w.begin() + 4), "RIFF");
  EXPECT_EQ(Le32(w, 4), 36 + data);
  EXPECT_EQ(std::string(w.begin() + 8, w.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(Le32(w, 16), 16u);
  EXPECT_EQ(Le16(w, 20), 1);       // PCM
  EXPECT_EQ(Le16(w, 22), 1);       // mono
  EXPECT_EQ(Le32(w, 24), 11025u);  // samples per second
  EXPECT_EQ(Le32(w, 28), 11025u);  // bytes per second
  EXPECT_EQ(Le16(w, 32), 1);       // block
  EXPECT_EQ(Le16(w, 34), 8);       // bits
  EXPECT_EQ(std::string(w.begin() + 36, w.begin() + 40), "data");
  EXPECT_EQ(Le32(w, 40), data);
}

TEST(Tone, PeriodsHeaderAndLastSample) {
  const struct {
    int hz;
    uint32_t data;
    int lows;  // samples at 96: half a period (rounded down) in every period
    std::vector<std::pair<int, uint8_t>> samples;  // sample index, level
  } cases[] = {
      // 1000 Hz: 11-sample periods starting at 0, 11, 22, 33, 44, 55, ...
      {1000,
       11025,
       1000 * 5,
       {{0, 96}, {4, 96}, {5, 160}, {10, 160}, {11, 96}, {22, 96}, {21, 160}}},
      // 800 Hz: periods of 13 or 14 samples (at 0, 13, 27, 41, ...), 6 low.
      {800,
       11025,
       800 * 6,
       {{5, 96}, {6, 160}, {12, 160}, {13, 96}, {18, 96}, {19, 160}, {26, 160}, {27, 96}}},
      {1600, 11025, 1600 * 3, {{0, 96}, {2, 96}, {3, 160}, {5, 160}, {6, 96}}},
      {100, 11025, 100 * 55, {{54, 96}, {55, 160}, {109, 160}, {110, 96}, {220, 96}}},
      {400, 11025, 400 * 13, {{12, 96}, {13, 160}, {26, 160}, {27, 96}}},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> w = BuildToneWave(c.hz);
    SCOPED_TRACE(c.hz);
    ExpectHeader(w, c.data);
    for (const auto& [index, level] : c.samples) EXPECT_EQ(w[44 + index], level) << index;
    EXPECT_EQ(w.back(), 128);
    EXPECT_EQ(std::count(w.begin() + 44, w.end(), 96), c.lows);
    EXPECT_EQ(std::count(w.begin() + 44, w.end(), 160), static_cast<long>(c.data) - c.lows - 1);
  }
}

TEST(Tone, FrequenciesOutOfRange) {
  EXPECT_TRUE(BuildToneWave(0).empty());
  EXPECT_TRUE(BuildToneWave(-5).empty());
  // Above the sample rate the wave is the sample rate's: no low half, and
  // built at once however high the number.
  std::vector<uint8_t> high = BuildToneWave(2000000000);
  ExpectHeader(high, 11025);
  EXPECT_EQ(std::count(high.begin() + 44, high.end(), 96), 0);
}

TEST(Tone, BeepIsShortAndEndsAtRest) {
  std::vector<uint8_t> beep = BuildBeepWave();
  ExpectHeader(beep, 11025 / 8);
  EXPECT_EQ(beep.back(), 128);
  EXPECT_EQ(beep[44], 96);
}

}  // namespace
}  // namespace quipular
