// Wave playback: files read in pieces, PCM queued in blocks, the device
// opened per format and closed when idle, every wait watching the keyboard.
#include "voice/wave_player.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "console/text_console.h"
#include "voice/wave_cache.h"

namespace quipular {

WavePlayer g_player;

namespace {

constexpr int kBusyRetries = 100;  // 100 x 100 ms for a device held elsewhere
constexpr int kQueueWaits = 40;    // 40 x 50 ms for a free buffer

WavePlayer& P() {
  return g_player;
}

// Lets the device work for at most ms, then dispatches events.
void Wait(int ms) {
  Audio().Wait(ms);
  ProcessEvents();
}

int OpenDevice(const AudioFormat& format) {
  if (P().device_open) return 0;
  int result = Audio().Open(format);
  // Only a device that another program holds is worth waiting for; with no
  // device at all the program goes on with text.
  for (int tries = 1; result == kDeviceAllocated && tries < kBusyRetries; ++tries) {
    Pause(100);
    result = Audio().Open(format);
  }
  if (result == 0) {
    P().device_open = true;
    P().format = format;
  }
  return result;
}

int ChangeFormat(const AudioFormat& format) {
  if (P().device_open && !(format == P().format))
    while (WaveBusy()) Wait(10);
  return OpenDevice(format);
}

// Hands one block to the device; a block that finds no free buffer within
// two seconds is dropped.
void QueueBlock(const uint8_t* data, size_t n) {
  for (int i = 0; i < kQueueWaits && P().queued >= kBlocks; ++i) {
    ProcessEvents();
    Wait(50);
  }
  if (P().queued >= kBlocks) return;
  int index = P().index;
  for (int i = 0; i < kBlocks; ++i) {
    index = (index + 1) % kBlocks;
    if (!P().in_flight[index]) break;
  }
  uint8_t* block = P().buffers[index];
  size_t length = PrepareBlock(block, data, n, P().format.bits, P().format.channels);
  if (Audio().Write(index, block, length) != 0) return;
  P().index = index;
  P().in_flight[index] = true;
  ++P().queued;
}

}  // namespace

void ResetWavePlayer() {
  if (P().device_open) Audio().Close();
  P().device_open = false;
  P().format = AudioFormat{};
  std::fill(std::begin(P().in_flight), std::end(P().in_flight), false);
  P().queued = 0;
  P().index = 0;
  P().fast_playback = P().speech_compaction = false;
  P().first_prompt = true;
  ResetWaveCache();
}

void WaveDone() {
  std::vector<int> finished;
  Audio().TakeFinished(finished);
  for (int index : finished) {
    if (index < 0 || index >= kBlocks || !P().in_flight[index]) continue;
    P().in_flight[index] = false;
    if (P().queued > 0) --P().queued;
  }
}

void StopWave() {
  if (P().queued > 0) Audio().Reset();
  ProcessEvents();
  if (P().device_open) Audio().Close();
  P().device_open = false;
  WaveDone();
  std::fill(std::begin(P().in_flight), std::end(P().in_flight), false);
  P().queued = 0;
}

void SetPlaybackOptions(bool fast_playback, bool speech_compaction) {
  P().fast_playback = fast_playback;
  P().speech_compaction = speech_compaction;
}

namespace {

// What follows takes a flag that it sets when a key stops blocks that were
// sounding; the prompt's caller hears of it in the value it is given back.

// Whether blocks are still sounding; a waiting key stops them.
bool Busy(bool& cut) {
  ProcessEvents();
  bool key = KeyWaiting();
  if (key || P().queued == 0) {
    if (key && P().queued > 0) cut = true;
    StopWave();
  }
  return P().queued > 0;
}

int Pcm(const uint8_t* samples, size_t length, int rate, int channels, int bits, bool& cut) {
  // Played as recorded: compaction works on the samples at their own width
  // and rate, and fast playback only raises the device's rate.
  bool compact = P().speech_compaction && channels == 1;
  int result = ChangeFormat(AudioFormat{PlaybackRate(rate, P().fast_playback), bits, channels});
  if (result != 0) return result & 0xFFFF;
  size_t done = 0;
  while (done < length) {
    while (P().queued >= kBlocks) {
      if (KeyPressed()) {
        cut = true;
        StopWave();
        return 0;
      }
      Wait(10);
    }
    if (KeyPressed()) {
      if (P().queued > 0) cut = true;
      StopWave();
      return 0;
    }
    size_t n = std::min(length - done, kBlockBytes);
    if (compact) {
      // The samples may be a kept prompt's: compacted in a copy.
      std::memcpy(P().compact_buffer, samples + done, n);
      QueueBlock(P().compact_buffer, CompactSpeech(P().compact_buffer, n, bits, rate));
    } else {
      QueueBlock(samples + done, n);
    }
    done += n;
  }
  return 0;
}

Played PlayWave(const std::shared_ptr<const Wave>& wave) {
  if (!wave) return Played{-1, false};
  // Handed over in the pieces that a file read in turns would give.
  Played played;
  size_t remaining = wave->data.size(), previous = 0;
  const uint8_t* at = wave->data.data();
  while (remaining > 0) {
    size_t piece = PieceSize(remaining, previous);
    played.error = Pcm(at, piece, wave->rate, wave->channels, wave->bits, played.cut);
    if (played.error != 0 || KeyPressed()) break;
    at += piece;
    remaining -= piece;
    previous = piece;
  }
  while (Busy(played.cut)) Wait(5);
  return played;
}

// Plays the data chunk of a wave image in memory (does not wait).
void PlayImage(const uint8_t* image, size_t size, bool& cut) {
  // Images are built by the program: a 44-byte header, then the data.
  if (size < 44 || !TagIs(image, "RIFF")) return;
  size_t length = std::min<size_t>(Le32(image + 40), size - 44);
  Pcm(image + 44, length, static_cast<int>(Le32(image + 24)), Le16(image + 22), Le16(image + 34),
      cut);
}

bool SpeechBusy(bool& cut) {
  if (KeyPressed()) {
    if (P().queued > 0) cut = true;
    StopSpeech();
    return false;
  }
  return Busy(cut);
}

void WaitForFirstPrompt(bool& cut) {
  if (!P().first_prompt) return;
  while (SpeechBusy(cut)) Wait(5);
  P().first_prompt = false;
}

}  // namespace

bool WaveBusy() {
  bool cut = false;
  return Busy(cut);
}

int PlayPcm(const uint8_t* samples, size_t length, int rate, int channels, int bits) {
  bool cut = false;
  return Pcm(samples, length, rate, channels, bits, cut);
}

Played PlayWaveFile(const std::string& path) {
  if (KeyPressed()) return {};
  return PlayWave(LoadWave(path));
}

Played PlayPromptFile(const std::string& windows_path) {
  if (KeyPressed()) return {};
  return PlayWave(LoadPrompt(windows_path));
}

void StopSpeech() {
  StopWave();
}

void WaitForFirstPrompt() {
  bool cut = false;
  WaitForFirstPrompt(cut);
}

bool PlayWordWave(const uint8_t* image, size_t size) {
  bool cut = false;
  WaitForFirstPrompt(cut);
  PlayImage(image, size, cut);
  while (SpeechBusy(cut)) Wait(5);
  return cut;
}

}  // namespace quipular
