// The wave player's arithmetic and its handling of good and malformed files,
// played on the recording device in the script front-end's virtual time.
#include "voice/wave_player.h"

#include <FLAC/stream_encoder.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "console/script_frontend.h"
#include "console/text_console.h"
#include "console/transcript.h"
#include "voice/audio_devices.h"
#include "voice/named_sounds.h"
#include "voice/number_words.h"
#include "voice/wave_cache.h"
#include "voice/wave_decode.h"
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

// A voiced sound: one pulse a pitch period, low in between, never silent.
std::vector<uint8_t> Voiced(size_t samples, int bits, size_t period) {
  std::vector<uint8_t> s;
  for (size_t i = 0; i < samples; ++i) {
    int level = i % period == 0 ? 250 : 170 + static_cast<int>(i % 7);  // 8-bit levels
    if (bits == 8) {
      s.push_back(static_cast<uint8_t>(level));
    } else {
      int v = (level - 128) * 256 + static_cast<int>(i % 13);  // low bytes that tell
      s.push_back(static_cast<uint8_t>(v));
      s.push_back(static_cast<uint8_t>(v >> 8));
    }
  }
  return s;
}

TEST(WaveFormat, CompactionShortensAtEveryWidthAndRate) {
  const struct {
    int bits, rate;
    size_t period;  // 9 ms of pitch at the rate
  } cases[] = {{8, 11025, 100}, {16, 11025, 100}, {16, 22050, 200}, {8, 22050, 200}};
  for (const auto& c : cases) {
    size_t width = static_cast<size_t>(c.bits / 8), samples = 2 * 20000 * c.rate / 22050;
    std::vector<uint8_t> s = Voiced(samples, c.bits, c.period), before = s;
    size_t n = CompactSpeech(s.data(), s.size(), c.bits, c.rate);
    // About half of the periods go; the samples stay at their width.
    EXPECT_GT(n, before.size() * 2 / 5) << c.bits << " bits, " << c.rate;
    EXPECT_LT(n, before.size() * 5 / 8) << c.bits << " bits, " << c.rate;
    EXPECT_EQ(n % width, 0u);
    // The samples are moved, never changed: each one kept is one of the
    // original's, low byte and all.
    std::set<std::vector<uint8_t>> original;
    for (size_t i = 0; i < before.size(); i += width)
      original.insert(std::vector<uint8_t>(before.begin() + i, before.begin() + i + width));
    for (size_t i = 0; i < n; i += width)
      ASSERT_TRUE(original.count(std::vector<uint8_t>(s.begin() + i, s.begin() + i + width)))
          << c.bits << " bits, " << c.rate << ", sample " << i / width;
  }
  // Fewer than 1000 samples are left as they are, at either width.
  std::vector<uint8_t> short8(999, 140), short16(1998, 7);
  EXPECT_EQ(CompactSpeech(short8.data(), short8.size(), 8, 11025), 999u);
  EXPECT_EQ(CompactSpeech(short16.data(), short16.size(), 16, 22050), 1998u);
  EXPECT_EQ(short16, std::vector<uint8_t>(1998, 7));
  // Silence (no peak above 0 is ever missing) never loops forever.
  std::vector<uint8_t> flat(5000, 0);
  EXPECT_LE(CompactSpeech(flat.data(), flat.size(), 8, 11025), 5000u);
  EXPECT_LE(CompactSpeech(flat.data(), flat.size(), 16, 22050), 5000u);
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
  WriteWordHeader(h, 4000, 22050, 1, 16);
  EXPECT_EQ(Le32(h + 24), 22050u);
  EXPECT_EQ(Le32(h + 28), 44100u);
  EXPECT_EQ(Le16(h + 32), 2);
  EXPECT_EQ(Le16(h + 34), 16);
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
  EXPECT_EQ(PlayWaveFile(path).error, 0);
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
    EXPECT_EQ(PlayWaveFile(path).error, c.result) << c.name;
    EXPECT_EQ(device_.played.size(), std::max<size_t>(c.played, c.played ? 256 : 0)) << c.name;
  }
  EXPECT_EQ(PlayWaveFile(dir_ + "/missing.wav").error, -1);
}

TEST_F(WavePlayerTest, CompactionAndFastPlayback) {
  SetPlaybackOptions(false, true);
  std::string path =
      WaveFile().Format(1, 11025, 16).Chunk("data", 4000, 4000, 0).Save(dir_, "s.wav");
  EXPECT_EQ(PlayWaveFile(path).error, 0);
  EXPECT_EQ(device_.format.bits, 16);  // compacted at its own width
  SetPlaybackOptions(true, false);
  path = WaveFile().Format(1, 11025, 8).Chunk("data", 1000, 1000).Save(dir_, "f.wav");
  EXPECT_EQ(PlayWaveFile(path).error, 0);
  EXPECT_EQ(device_.format.rate, 16537);
}

TEST_F(WavePlayerTest, BusyDeviceIsRetriedMissingDeviceIsNot) {
  std::string path = WaveFile().Format(1, 11025, 8).Chunk("data", 500, 500).Save(dir_, "b.wav");
  device_.busy_answers = 3;
  EXPECT_EQ(PlayWaveFile(path).error, 0);
  EXPECT_EQ(device_.opens, 4);
  device_.opens = 0;
  ResetWavePlayer();
  device_.open_answer = kNoDriver;
  uint64_t before = frontend_.NowMs();
  EXPECT_EQ(PlayWaveFile(path).error, kNoDriver);
  EXPECT_EQ(device_.opens, 1);
  EXPECT_EQ(frontend_.NowMs(), before);  // no waiting for a device that is not there
}

TEST_F(WavePlayerTest, AWaitingKeySkipsAndStops) {
  std::string path =
      WaveFile().Format(1, 11025, 8).Chunk("data", 200000, 200000).Save(dir_, "k.wav");
  QueueKey('5');
  EXPECT_EQ(PlayWaveFile(path).error, 0);
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
    Played played = PlayWaveFile(path);
    EXPECT_EQ(played.error, 0) << c.what;
    EXPECT_EQ(played.cut, c.key) << c.what;
    EndPrompt(played.cut);
    ASSERT_EQ(g_transcript.lines.size(), 1u) << c.what;
    EXPECT_EQ(g_transcript.lines[0], c.key ? "sound P [cut]" : "sound P") << c.what;
  }
  g_transcript.lines.clear();
  g_transcript.enabled = was_enabled;
  ResetConsole(&frontend_);
  SetWaveDoneHandler(&WaveDone);
}

// FLAC bytes of samples at a bit depth (libFLAC's own encoder, in memory).
std::vector<uint8_t> Flac(const std::vector<int32_t>& samples, int rate, int depth,
                          int channels = 1) {
  std::vector<uint8_t> out;
  FLAC__StreamEncoder* e = FLAC__stream_encoder_new();
  FLAC__stream_encoder_set_channels(e, static_cast<unsigned>(channels));
  FLAC__stream_encoder_set_bits_per_sample(e, static_cast<unsigned>(depth));
  FLAC__stream_encoder_set_sample_rate(e, static_cast<unsigned>(rate));
  auto write = [](const FLAC__StreamEncoder*, const FLAC__byte buffer[], size_t bytes, uint32_t,
                  uint32_t, void* data) {
    auto* o = static_cast<std::vector<uint8_t>*>(data);
    o->insert(o->end(), buffer, buffer + bytes);
    return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
  };
  EXPECT_EQ(FLAC__stream_encoder_init_stream(e, write, nullptr, nullptr, nullptr, &out),
            FLAC__STREAM_ENCODER_INIT_STATUS_OK);
  EXPECT_TRUE(FLAC__stream_encoder_process_interleaved(
      e, samples.data(), static_cast<unsigned>(samples.size() / channels)));
  FLAC__stream_encoder_finish(e);
  FLAC__stream_encoder_delete(e);
  return out;
}

std::vector<int32_t> Ramp(size_t n, int top) {
  std::vector<int32_t> v;
  for (size_t i = 0; i < n; ++i) v.push_back(static_cast<int32_t>(i * 37 % (2 * top)) - top);
  return v;
}

std::vector<uint8_t> Le16Bytes(const std::vector<int32_t>& v, int shift = 0) {
  std::vector<uint8_t> out;
  for (int32_t x : v) {
    int32_t y = shift >= 0 ? x * (1 << shift) : x >> -shift;
    out.push_back(static_cast<uint8_t>(y));
    out.push_back(static_cast<uint8_t>(y >> 8));
  }
  return out;
}

TEST(WaveDecode, FlacComesOutAsEightOrSixteenBitPcm) {
  std::vector<int32_t> s16 = Ramp(5000, 30000), s8 = Ramp(3000, 120), s24 = Ramp(4000, 8000000);
  std::vector<uint8_t> u8;
  for (int32_t x : s8) u8.push_back(static_cast<uint8_t>(x + 128));
  const struct {
    const char* what;
    std::vector<uint8_t> file;
    Wave want;
  } cases[] = {
      {"16-bit 22050", Flac(s16, 22050, 16), {22050, 1, 16, Le16Bytes(s16)}},
      {"8-bit 11025", Flac(s8, 11025, 8), {11025, 1, 8, u8}},
      {"24-bit 44100", Flac(s24, 44100, 24), {44100, 1, 16, Le16Bytes(s24, -8)}},
      {"12-bit 16000",
       Flac(Ramp(1000, 2000), 16000, 12),
       {16000, 1, 16, Le16Bytes(Ramp(1000, 2000), 4)}},
      {"stereo", Flac(Ramp(2000, 1000), 22050, 16, 2), {22050, 2, 16, Le16Bytes(Ramp(2000, 1000))}},
  };
  for (const auto& c : cases) {
    Wave w;
    ASSERT_TRUE(DecodeWave(c.file.data(), c.file.size(), w)) << c.what;
    EXPECT_EQ(w.rate, c.want.rate) << c.what;
    EXPECT_EQ(w.channels, c.want.channels) << c.what;
    EXPECT_EQ(w.bits, c.want.bits) << c.what;
    EXPECT_TRUE(w.data == c.want.data) << c.what << ": " << w.data.size() << " bytes";
  }
  // Not FLAC after its first bytes, or a format that cannot be played.
  std::vector<uint8_t> junk = {'f', 'L', 'a', 'C', 0, 0, 0, 34, 1, 2, 3};
  Wave w;
  EXPECT_FALSE(DecodeWave(junk.data(), junk.size(), w));
  std::vector<uint8_t> slow = Flac(Ramp(100, 100), 800, 16);
  EXPECT_FALSE(DecodeWave(slow.data(), slow.size(), w));
  std::vector<int32_t> six(600, 0);
  std::vector<uint8_t> many = Flac(six, 22050, 16, 6);
  EXPECT_FALSE(DecodeWave(many.data(), many.size(), w));
}

void SaveBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// Sets a file's time of writing seconds_ago in the past (a file written just
// now is never taken from memory: another write in the same clock tick would
// leave its stamp as it was).
void Age(const std::string& path, int seconds_ago) {
  timespec times[2];
  clock_gettime(CLOCK_REALTIME, &times[0]);
  times[0].tv_sec -= seconds_ago;
  times[1] = times[0];
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// A prompt file is read once and played from memory after that, until it
// changes on disk in any way: rewritten in place with the same size (a new
// time of writing), replaced by another file with the same size and time,
// grown, turned into FLAC, or removed.
TEST_F(WavePlayerTest, PromptsPlayFromMemoryUntilTheirFileChanges) {
  std::string path = dir_ + "/p.wav";
  auto played_fill = [&] {
    std::set<uint8_t> values(device_.played.begin(), device_.played.end());
    values.erase(128);  // the silence each block ends in
    return values.size() == 1 ? static_cast<int>(*values.begin()) : -1;
  };
  auto play = [&] {
    device_.played.clear();
    return PlayWaveFile(path).error;
  };
  WaveFile().Format(1, 11025, 8).Chunk("data", 2000, 2000, 150).Save(dir_, "p.wav");
  Age(path, 3600);
  ASSERT_EQ(play(), 0);
  ASSERT_EQ(play(), 0);
  EXPECT_EQ(g_wave_cache.reads, 1u);
  EXPECT_EQ(played_fill(), 150);

  struct {
    const char* what;
    std::function<void()> change;
    int fill;  // the level now played
  } changes[] = {
      {"rewritten in place, same size",
       [&] {
         WaveFile().Format(1, 11025, 8).Chunk("data", 2000, 2000, 160).Save(dir_, "p.wav");
         Age(path, 1800);
       },
       160},
      {"replaced by rename, same size and time",
       [&] {
         struct stat before;
         stat(path.c_str(), &before);
         std::string other =
             WaveFile().Format(1, 11025, 8).Chunk("data", 2000, 2000, 170).Save(dir_, "q.wav");
         timespec times[2] = {before.st_atim, before.st_mtim};
         utimensat(AT_FDCWD, other.c_str(), times, 0);
         std::rename(other.c_str(), path.c_str());
       },
       170},
      {"grown",
       [&] {
         WaveFile().Format(1, 11025, 8).Chunk("data", 3000, 3000, 180).Save(dir_, "p.wav");
         Age(path, 600);
       },
       180},
  };
  for (const auto& c : changes) {
    size_t reads = g_wave_cache.reads;
    c.change();
    ASSERT_EQ(play(), 0) << c.what;
    EXPECT_EQ(played_fill(), c.fill) << c.what;
    ASSERT_EQ(play(), 0) << c.what;
    EXPECT_EQ(played_fill(), c.fill) << c.what;
    EXPECT_EQ(g_wave_cache.reads, reads + 1) << c.what;
  }

  SaveBytes(path, Flac(Ramp(22050, 20000), 22050, 16));
  Age(path, 60);
  ASSERT_EQ(play(), 0);
  EXPECT_EQ(device_.format, (AudioFormat{22050, 16, 1}));
  EXPECT_EQ(device_.played, Le16Bytes(Ramp(22050, 20000)));

  // Written just now: read every time, since its stamp cannot yet be trusted.
  WaveFile().Format(1, 11025, 8).Chunk("data", 2000, 2000, 190).Save(dir_, "p.wav");
  size_t reads = g_wave_cache.reads;
  ASSERT_EQ(play(), 0);
  ASSERT_EQ(play(), 0);
  EXPECT_EQ(g_wave_cache.reads, reads + 2);

  std::remove(path.c_str());
  EXPECT_EQ(play(), -1);
  EXPECT_TRUE(g_wave_cache.entries.empty());
}

TEST_F(WavePlayerTest, MemoryKeepsTheRecentlyUsedWithinItsBound) {
  g_wave_cache.limit = 3000;
  for (const char* name : {"a", "b", "c", "d"}) {
    WaveFile().Format(1, 11025, 8).Chunk("data", 1000, 1000).Save(dir_, std::string(name) + ".wav");
    Age(dir_ + "/" + name + ".wav", 3600);
  }
  WaveFile().Format(1, 11025, 8).Chunk("data", 5000, 5000).Save(dir_, "big.wav");
  Age(dir_ + "/big.wav", 3600);
  // Each step: the file played, then how many files have been read in all.
  const struct {
    const char* name;
    size_t reads;
  } steps[] = {{"a", 1},   {"b", 2},   {"c", 3}, {"a", 3},  // a is now the most recent
               {"d", 4},                                    // b goes
               {"a", 4},   {"c", 4},   {"b", 5},            // b is read again; d goes
               {"big", 6}, {"big", 7},                      // larger than the bound: never kept
               {"c", 7}};
  for (const auto& step : steps) {
    device_.played.clear();
    ASSERT_EQ(PlayWaveFile(dir_ + "/" + step.name + ".wav").error, 0) << step.name;
    EXPECT_EQ(device_.played.size(), std::string(step.name) == "big" ? 5000u : 1000u);
    EXPECT_EQ(g_wave_cache.reads, step.reads) << "after " << step.name;
    EXPECT_LE(g_wave_cache.bytes, g_wave_cache.limit);
  }
}

// The words of a number are joined into one wave in their own format; a
// word of another format is played as a wave of its own. Words are read once.
TEST_F(WavePlayerTest, NumberWordsJoinInTheirOwnFormat) {
  std::vector<int32_t> um = Ramp(4000, 9000), e = Ramp(1000, 5000);
  SaveBytes(dir_ + "/_um.wav", Flac(um, 22050, 16));
  WaveFile().Format(1, 22050, 16).Chunk("data", 2000, 2000, 0x11).Save(dir_, "_e.wav");
  WaveFile().Format(1, 11025, 8).Chunk("data", 700, 700, 200).Save(dir_, "_dois.wav");
  for (const char* name : {"_um.wav", "_e.wav", "_dois.wav"}) Age(dir_ + "/" + name, 3600);
  g_sounds = NamedSounds{};
  g_sounds.letters_directory = dir_ + "/";
  for (int round = 0; round < 2; ++round) {
    device_.played.clear();
    device_.lengths.clear();
    SpeakWords("um e um e dois", false);
    std::vector<uint8_t> um_e = Le16Bytes(um), joined;
    um_e.insert(um_e.end(), 2000, 0x11);
    joined.insert(joined.end(), um_e.begin(), um_e.end());
    joined.insert(joined.end(), um_e.begin(), um_e.end());
    joined.insert(joined.end(), 700, 200);
    joined.back() = 128;  // an 8-bit block ends in silence
    EXPECT_EQ(device_.played, joined) << "round " << round;
    EXPECT_EQ(device_.lengths, (std::vector<size_t>{joined.size() - 700, 700}));
    EXPECT_EQ(device_.format, (AudioFormat{11025, 8, 1}));
    EXPECT_EQ(g_wave_cache.reads, 3u);
  }
  g_sounds = NamedSounds{};
}

// A key that stops the first wave of a number's words marks the words cut,
// though their format changes after it and the rest is not played.
TEST_F(WavePlayerTest, WordsCutInTheirFirstWaveAreMarkedCut) {
  WaveFile().Format(1, 22050, 16).Chunk("data", 40000, 40000, 0x11).Save(dir_, "_um.wav");
  WaveFile().Format(1, 11025, 8).Chunk("data", 700, 700, 200).Save(dir_, "_dois.wav");
  KeyWhilePlaying typing;
  ResetConsole(&typing);
  ResetWavePlayer();
  SetWaveDoneHandler(&WaveDone);
  bool was_enabled = g_transcript.enabled;
  g_transcript.enabled = true;
  g_transcript.lines.clear();
  g_sounds = NamedSounds{};
  g_sounds.letters_directory = dir_ + "/";
  SpeakWords("um dois", false);
  EXPECT_EQ(g_transcript.lines, std::vector<std::string>{"words um dois [cut]"});
  // "dois" never sounded.
  EXPECT_EQ(std::count(device_.played.begin(), device_.played.end(), 200), 0);
  EXPECT_TRUE(KeyPressed());  // the key stays for the next reader
  g_sounds = NamedSounds{};
  g_transcript.lines.clear();
  g_transcript.enabled = was_enabled;
  ResetConsole(&frontend_);
  SetWaveDoneHandler(&WaveDone);
}

}  // namespace
}  // namespace quipular
