// The wave player on SDL's own audio, through its disk driver: for 8-bit
// 11025 Hz, 16-bit 11025 Hz and 16-bit 22050 Hz prompts, with fast playback
// and speech compaction on and off, the device is opened at the prompt's
// width and (fast: 1.5 times) its rate, and the bytes it is given are the
// prompt's own, or about half of them when compacted.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "console/script_frontend.h"
#include "console/text_console.h"
#include "voice/audio_devices.h"
#include "voice/sdl_audio_device.h"
#include "voice/wave_format.h"
#include "voice/wave_player.h"

namespace quipular {
namespace {

// 0.4 s of a voiced sound (a pulse a 9 ms period), never at silence, with
// low bytes that an 8-bit copy would lose.
std::vector<uint8_t> Voice(int rate, int bits) {
  std::vector<uint8_t> s;
  size_t period = static_cast<size_t>(rate) * 9 / 1000, n = static_cast<size_t>(rate) * 2 / 5;
  for (size_t i = 0; i < n; ++i) {
    int level = i % period == 0 ? 250 : 150 + static_cast<int>(i % 9);
    if (bits == 8) {
      s.push_back(static_cast<uint8_t>(level));
    } else {
      int v = (level - 128) * 256 + 1 + static_cast<int>(i % 11);
      s.push_back(static_cast<uint8_t>(v));
      s.push_back(static_cast<uint8_t>(v >> 8));
    }
  }
  return s;
}

std::string SaveWave(const std::string& path, int rate, int bits,
                     const std::vector<uint8_t>& data) {
  std::vector<uint8_t> image(44);
  WriteWordHeader(image.data(), static_cast<uint32_t>(data.size()), rate, 1, bits);
  image.insert(image.end(), data.begin(), data.end());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()),
             static_cast<std::streamsize>(image.size()));
  return path;
}

TEST(SdlWaveFormats, DeviceGetsThePromptAtItsWidthAndRate) {
  char templ[] = "/tmp/quipular-sdl-wave-XXXXXX";
  std::string dir = mkdtemp(templ), capture = dir + "/capture.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
  setenv("SDL_DISKAUDIODELAY", "1", 1);
  ScriptFrontend frontend{{}};
  const struct { int rate, bits; } formats[] = {{11025, 8}, {11025, 16}, {22050, 16}};
  for (const auto& f : formats)
    for (bool fast : {false, true})
      for (bool compact : {false, true}) {
        std::string what = std::to_string(f.bits) + "-bit " + std::to_string(f.rate) +
                           (fast ? ", fast" : "") + (compact ? ", compacted" : "");
        std::vector<uint8_t> data = Voice(f.rate, f.bits);
        std::string path = SaveWave(dir + "/p.wav", f.rate, f.bits, data);
        AudioFormat obtained;
        {
          SdlAudioDevice device;
          ResetConsole(&frontend);
          SetAudioDevice(&device);
          ResetWavePlayer();
          SetWaveDoneHandler(&WaveDone);
          SetPlaybackOptions(fast, compact);
          ASSERT_EQ(PlayWaveFile(path).error, 0) << what;
          obtained = device.obtained;
          ResetWavePlayer();
          SetAudioDevice(nullptr);
        }
        EXPECT_EQ(obtained, (AudioFormat{PlaybackRate(f.rate, fast), f.bits, 1})) << what;

        // The capture: silence, the prompt, silence (in buffers of the device).
        std::ifstream in(capture, std::ios::binary);
        std::vector<uint8_t> heard((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
        size_t width = static_cast<size_t>(f.bits / 8);
        auto silent = [&](size_t i) {
          return width == 1 ? heard[i] == 128 : heard[i] == 0 && heard[i + 1] == 0;
        };
        size_t first = 0, end = heard.size() / width * width;
        while (first < end && silent(first)) first += width;
        while (end > first && silent(end - width)) end -= width;
        std::vector<uint8_t> sound(heard.begin() + first, heard.begin() + end);
        if (!compact) {
          // 8-bit blocks end in one byte of silence.
          std::vector<uint8_t> want(data.begin(), data.end() - (width == 1 ? 1 : 0));
          EXPECT_TRUE(sound == want)
              << what << ": " << sound.size() << " bytes heard, " << want.size() << " played";
          continue;
        }
        EXPECT_GT(sound.size(), data.size() * 2 / 5) << what;
        EXPECT_LT(sound.size(), data.size() * 5 / 8) << what;
        std::set<std::vector<uint8_t>> original;
        for (size_t i = 0; i < data.size(); i += width)
          original.insert(std::vector<uint8_t>(data.begin() + i, data.begin() + i + width));
        for (size_t i = 0; i + width <= sound.size(); i += width)
          ASSERT_TRUE(
              original.count(std::vector<uint8_t>(sound.begin() + i, sound.begin() + i + width)))
              << what << ": a sample that the prompt does not hold, at byte " << i;
      }
  std::string command = "rm -rf " + dir;
  EXPECT_EQ(std::system(command.c_str()), 0);
}

}  // namespace
}  // namespace quipular
