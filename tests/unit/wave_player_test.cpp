// The wave player's arithmetic and its handling of good and malformed files,
// played on the recording device in the script front-end's virtual time.
#include "voice/wave_player.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "console/script_frontend.h"
#include "console/text_console.h"
#include "console/transcript.h"
#include "voice/audio_devices.h"
#include "voice/named_sounds.h"
#include "voice/wave_format.h"

namespace quipular {
namespace {

TEST(WaveFormat, PieceSizes) {
  struct {
    size_t length;
    std::vector<size_t> pieces;
  } cases[] = {
      {100, {100}},
      {65534, {65534}},
      {65535, {65278, 257}},
      {65600, {65278, 322}},
      {65789, {65278, 511}},
      {65790, {65534, 256}},
      {100000, {65534, 34466}},
      {196670, {65534, 65534, 65278, 324}},
  };
  for (const auto& c : cases) {
    std::vector<size_t> pieces;
    size_t remaining = c.length, previous = 0;
    while (remaining > 0) {
      size_t piece = PieceSize(remaining, previous);
      pieces.push_back(piece);
      remaining -= piece;
      previous = piece;
    }
    EXPECT_EQ(pieces, c.pieces) << c.length;
  }
}

TEST(WaveFormat, BlocksArePaddedAndEndInSilence) {
  static uint8_t block[kBlockBytes];
  std::vector<uint8_t> data(100, 200);
  EXPECT_EQ(PrepareBlock(block, data.data(), 100, 8, 1), 256u);
  EXPECT_EQ(block[98], 200);
  EXPECT_EQ(block[99], 128);  // the last copied byte
  EXPECT_EQ(block[100], 128);
  EXPECT_EQ(block[255], 128);
  // 16-bit data is padded with zero, the silence of signed samples.
  EXPECT_EQ(PrepareBlock(block, data.data(), 100, 16, 1), 256u);
  EXPECT_EQ(block[99], 200);
  EXPECT_EQ(block[100], 0);
  // A full block keeps its last byte.
  std::vector<uint8_t> full(kBlockBytes, 7);
  EXPECT_EQ(PrepareBlock(block, full.data(), kBlockBytes, 8, 1), kBlockBytes);
  EXPECT_EQ(block[kBlockBytes - 1], 7);
}

TEST(WaveFormat, FastPlaybackRate) {
  EXPECT_EQ(PlaybackRate(11025, true), 16537);
  EXPECT_EQ(PlaybackRate(22050, true), 33075);
  EXPECT_EQ(PlaybackRate(11025, false), 11025);
}

TEST(WaveFormat, CompactionConvertsAndShortens) {
  // 16-bit to 8-bit: the high byte with its top bit turned over.
  std::vector<uint8_t> s16 = {0x00, 0x00, 0xFF, 0x7F, 0x00, 0x80, 0x34, 0x12};
  EXPECT_EQ(CompactSpeech(s16.data(), s16.size(), 16, 11025), 4u);
  EXPECT_EQ((std::vector<uint8_t>(s16.begin(), s16.begin() + 4)),
            (std::vector<uint8_t>{0x80, 0xFF, 0x00, 0x92}));
  // Fewer than 1000 samples are left as they are.
  std::vector<uint8_t> short8(999, 140);
  EXPECT_EQ(CompactSpeech(short8.data(), short8.size(), 8, 11025), 999u);
  // A voiced sound with a period of 100 samples loses about half its length.
  std::vector<uint8_t> voiced(20000);
  for (size_t i = 0; i < voiced.size(); ++i) voiced[i] = i % 100 == 0 ? 250 : 128;
  size_t n = CompactSpeech(voiced.data(), voiced.size(), 8, 11025);
  EXPECT_GT(n, 8000u);
  EXPECT_LT(n, 12500u);
  // Silence (no peak above 0 is ever missing) never loops forever.
  std::vector<uint8_t> flat(5000, 0);
  EXPECT_LE(CompactSpeech(flat.data(), flat.size(), 8, 11025), 5000u);
}

TEST(WaveFormat, WordHeader) {
  uint8_t h[44];
  WriteWordHeader(h, 1000);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(h), 4), "RIFF");
  EXPECT_EQ(Le32(h + 4), 1036u);
  EXPECT_EQ(Le16(h + 22), 1);
  EXPECT_EQ(Le32(h + 24), 11025u);
  EXPECT_EQ(Le16(h + 34), 8);
  EXPECT_EQ(Le32(h + 40), 1000u);
}

// Builds a RIFF file from chunks.
struct WaveFile {
  std::vector<uint8_t> bytes;
  explicit WaveFile(const char* riff = "RIFF") {
    bytes.assign(riff, riff + 4);
    Put32(0);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E'});
  }
  void Put32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void Put16(uint16_t v) {
    bytes.push_back(static_cast<uint8_t>(v));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
  }
  WaveFile& Format(int channels, int rate, int bits, uint32_t length = 16) {
    bytes.insert(bytes.end(), {'f', 'm', 't', ' '});
    Put32(length);
    Put16(1);
    Put16(static_cast<uint16_t>(channels));
    Put32(static_cast<uint32_t>(rate));
    Put32(static_cast<uint32_t>(rate * channels * bits / 8));
    Put16(static_cast<uint16_t>(channels * bits / 8));
    Put16(static_cast<uint16_t>(bits));
    bytes.insert(bytes.end(), length > 16 ? length - 16 : 0, 0);
    return *this;
  }
  WaveFile& Chunk(const char* tag, uint32_t declared, size_t actual, uint8_t fill = 150) {
    bytes.insert(bytes.end(), tag, tag + 4);
    Put32(declared);
    bytes.insert(bytes.end(), actual, fill);
    return *this;
  }
  std::string Save(const std::string& dir, const std::string& name) const {
    std::string path = dir + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
  }
};

class WavePlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/quipular-wave-XXXXXX";
    dir_ = mkdtemp(templ);
    ResetConsole(&frontend_);
    device_.keep = true;
    SetAudioDevice(&device_);
    ResetWavePlayer();
    SetWaveDoneHandler(&WaveDone);
  }
  void TearDown() override {
    ResetWavePlayer();
    SetAudioDevice(nullptr);
    std::string command = "rm -rf " + dir_;
    EXPECT_EQ(std::system(command.c_str()), 0);
  }
  std::string dir_;
  ScriptFrontend frontend_{{}};
  RecordingAudioDevice device_;
};

TEST_F(WavePlayerTest, PlaysAWholeFileInVirtualTime) {
  std::string path = WaveFile()
                         .Format(1, 11025, 8)
                         .Chunk("LIST", 10, 10)
                         .Chunk("data", 11025, 11025)
                         .Save(dir_, "a.wav");
  EXPECT_EQ(PlayWaveFile(path), 0);
  EXPECT_EQ(device_.played.size(), 11025u);
  EXPECT_EQ(device_.format, (AudioFormat{11025, 8, 1}));
  EXPECT_GE(frontend_.NowMs(), 999u);  // one second of sound went by
  EXPECT_EQ(g_player.queued, 0);
}

TEST_F(WavePlayerTest, MalformedFiles) {
  struct {
    const char* name;
    WaveFile file;
    int result;
    size_t played;
  } cases[] = {
      {"not riff", WaveFile("RIFX").Format(1, 11025, 8).Chunk("data", 100, 100), -1, 0},
      {"no data chunk", WaveFile().Format(1, 11025, 8).Chunk("LIST", 4, 4), -1, 0},
      {"short format", WaveFile().Chunk("fmt ", 8, 8), -1, 0},
      {"empty data", WaveFile().Format(1, 11025, 8).Chunk("data", 0, 0), 0, 0},
      // A data length beyond the end of the file plays what is there.
      {"data beyond the file", WaveFile().Format(1, 11025, 8).Chunk("data", 900000, 3000), 0, 3000},
      // A format chunk longer than the read buffer is read only as far as needed.
      {"huge format", WaveFile().Format(1, 11025, 8, 70000).Chunk("data", 500, 500), 0, 500},
      {"bad bits", WaveFile().Format(1, 11025, 12).Chunk("data", 500, 500), -1, 0},
      {"lower-case tags", WaveFile("riff").Format(1, 11025, 8).Chunk("DATA", 300, 300), 0, 300},
  };
  for (auto& c : cases) {
    device_.played.clear();
    std::string path = c.file.Save(dir_, "bad.wav");
    EXPECT_EQ(PlayWaveFile(path), c.result) << c.name;
    EXPECT_EQ(device_.played.size(), std::max<size_t>(c.played, c.played ? 256 : 0)) << c.name;
  }
  EXPECT_EQ(PlayWaveFile(dir_ + "/missing.wav"), -1);
}

TEST_F(WavePlayerTest, CompactionAndFastPlayback) {
  g_player.speech_compaction = true;
  std::string path =
      WaveFile().Format(1, 11025, 16).Chunk("data", 4000, 4000, 0).Save(dir_, "s.wav");
  EXPECT_EQ(PlayWaveFile(path), 0);
  EXPECT_EQ(device_.format.bits, 8);  // 16-bit speech goes out as 8-bit
  g_player.speech_compaction = false;
  g_player.fast_playback = true;
  path = WaveFile().Format(1, 11025, 8).Chunk("data", 1000, 1000).Save(dir_, "f.wav");
  EXPECT_EQ(PlayWaveFile(path), 0);
  EXPECT_EQ(device_.format.rate, 16537);
}

TEST_F(WavePlayerTest, BusyDeviceIsRetriedMissingDeviceIsNot) {
  std::string path = WaveFile().Format(1, 11025, 8).Chunk("data", 500, 500).Save(dir_, "b.wav");
  device_.busy_answers = 3;
  EXPECT_EQ(PlayWaveFile(path), 0);
  EXPECT_EQ(device_.opens, 4);
  device_.opens = 0;
  ResetWavePlayer();
  device_.open_answer = kNoDriver;
  uint64_t before = frontend_.NowMs();
  EXPECT_EQ(PlayWaveFile(path), kNoDriver);
  EXPECT_EQ(device_.opens, 1);
  EXPECT_EQ(frontend_.NowMs(), before);  // no waiting for a device that is not there
}

TEST_F(WavePlayerTest, AWaitingKeySkipsAndStops) {
  std::string path =
      WaveFile().Format(1, 11025, 8).Chunk("data", 200000, 200000).Save(dir_, "k.wav");
  QueueKey('5');
  EXPECT_EQ(PlayWaveFile(path), 0);
  EXPECT_TRUE(device_.played.empty());
  EXPECT_TRUE(KeyPressed());  // the key stays for the next reader
}

// A key that comes while the prompt plays: the front-end's clock moves and a
// key is typed at its first wait.
class KeyWhilePlaying : public ScriptFrontend {
 public:
  KeyWhilePlaying() : ScriptFrontend({}) {}
  void Sleep(int ms) override {
    ScriptFrontend::Sleep(ms);
    if (!typed_) QueueKey('5');
    typed_ = true;
  }

 private:
  bool typed_ = false;
};

// A prompt cut by a key is marked so in the transcript, whether the key came
// while its blocks were still being handed over (a long one) or after all
// were queued (a short one); one the key did not reach is not marked.
TEST_F(WavePlayerTest, PromptsCutByAKeyAreMarked) {
  const struct {
    const char* what;
    size_t samples;
    bool key;
  } cases[] = {
      {"short, wholly queued, then a key", 2000, true},
      {"long, a key while queueing", 200000, true},
      {"short, no key", 2000, false},
  };
  bool was_enabled = g_transcript.enabled;
  g_transcript.enabled = true;
  for (const auto& c : cases) {
    KeyWhilePlaying typing;
    ScriptFrontend quiet{{}};
    ResetConsole(c.key ? static_cast<Frontend*>(&typing) : &quiet);
    ResetWavePlayer();
    SetWaveDoneHandler(&WaveDone);
    std::string path =
        WaveFile().Format(1, 11025, 8).Chunk("data", c.samples, c.samples).Save(dir_, "p.wav");
    g_transcript.lines.clear();
    ASSERT_TRUE(BeginPrompt("sound P"));
    EXPECT_EQ(PlayWaveFile(path), 0);
    EndPrompt();
    ASSERT_EQ(g_transcript.lines.size(), 1u) << c.what;
    EXPECT_EQ(g_transcript.lines[0], c.key ? "sound P [cut]" : "sound P") << c.what;
  }
  g_transcript.lines.clear();
  g_transcript.enabled = was_enabled;
  ResetConsole(&frontend_);
  SetWaveDoneHandler(&WaveDone);
}

}  // namespace
}  // namespace quipular
