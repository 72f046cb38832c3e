// Wave playback: files read in pieces, PCM queued in blocks, the device
// opened per format and closed when idle, every wait watching the keyboard.
#include "voice/wave_player.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "console/regular_file.h"
#include "console/text_console.h"

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
  P().cut = false;
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

bool WaveBusy() {
  ProcessEvents();
  bool key = g_console.queued > 0;
  if (key || P().queued == 0) {
    if (key && P().queued > 0) P().cut = true;
    StopWave();
  }
  return P().queued > 0;
}

int PlayPcm(uint8_t* samples, size_t length, int rate, int channels, int bits) {
  rate = PlaybackRate(rate, P().fast_playback);
  bool compact = P().speech_compaction && channels == 1;
  int device_bits = compact && bits == 16 ? 8 : bits;
  int result = ChangeFormat(AudioFormat{rate, device_bits, channels});
  if (result != 0) return result & 0xFFFF;
  size_t done = 0;
  while (done < length) {
    while (P().queued >= kBlocks) {
      if (KeyPressed()) {
        P().cut = true;
        StopWave();
        return 0;
      }
      Wait(10);
    }
    if (KeyPressed()) {
      P().cut = P().queued > 0;
      StopWave();
      return 0;
    }
    size_t n = std::min(length - done, kBlockBytes);
    if (compact) {
      size_t out = CompactSpeech(samples + done, n, bits, rate);
      QueueBlock(samples + done, out);
    } else {
      QueueBlock(samples + done, n);
    }
    done += n;
  }
  return 0;
}

int PlayWaveFile(const std::string& path) {
  if (KeyPressed()) return 0;
  FILE* f = OpenRegularFile(path);
  if (!f) return -1;
  uint8_t* buf = P().read_buffer;
  uint8_t head[12];
  int channels = 0, rate = 0, bits = 0;
  bool ok = std::fread(head, 1, 12, f) == 12 && TagIs(head, "RIFF") &&
            std::fread(head, 1, 8, f) == 8 && TagIs(head, "fmt ");
  if (ok) {
    // The fields wanted are in the first 16 bytes; a longer format chunk is
    // read only that far and the rest skipped.
    uint32_t length = Le32(head + 4);
    ok = length >= 16 && std::fread(buf, 1, 16, f) == 16 &&
         (length == 16 ||
          std::fseek(f, static_cast<long>(length - 16 + (length & 1)), SEEK_CUR) == 0);
    if (ok) {
      channels = Le16(buf + 2);
      rate = static_cast<int>(Le32(buf + 4));
      bits = Le16(buf + 14);
      ok = channels >= 1 && channels <= 2 && (bits == 8 || bits == 16) && rate >= 1000 &&
           rate <= 192000;
    }
  }
  int result = -1;
  while (ok) {
    if (std::fread(head, 1, 8, f) != 8) break;
    uint32_t length = Le32(head + 4);
    if (!TagIs(head, "data")) {
      if (std::fseek(f, static_cast<long>(length + (length & 1)), SEEK_CUR) != 0) break;
      continue;
    }
    result = 0;
    size_t remaining = length, previous = 0;
    while (remaining > 0) {
      size_t piece = PieceSize(remaining, previous);
      size_t got = std::fread(buf, 1, piece, f);
      if (got == 0) {
        result = -1;
        break;
      }
      result = PlayPcm(buf, got, rate, channels, bits);
      if (result != 0 || KeyPressed() || got < piece) break;
      remaining -= piece;
      previous = piece;
    }
    break;
  }
  std::fclose(f);
  while (WaveBusy()) Wait(5);
  return result;
}

void PlayWaveImage(const uint8_t* image, size_t size) {
  // Images are built by the program: a 44-byte header, then the data.
  if (size < 44 || !TagIs(image, "RIFF")) return;
  size_t length = std::min<size_t>(Le32(image + 40), size - 44);
  PlayPcm(const_cast<uint8_t*>(image) + 44, length, static_cast<int>(Le32(image + 24)),
          Le16(image + 22), Le16(image + 34));
}

void StopSpeech() {
  StopWave();
}

bool SpeechBusy() {
  if (KeyPressed()) {
    if (P().queued > 0) P().cut = true;
    StopSpeech();
    return false;
  }
  return WaveBusy();
}

void WaitForFirstPrompt() {
  if (!P().first_prompt) return;
  while (SpeechBusy()) Wait(5);
  P().first_prompt = false;
}

void PlayWordWave(const uint8_t* image, size_t size) {
  WaitForFirstPrompt();
  PlayWaveImage(image, size);
  while (SpeechBusy()) Wait(5);
}

}  // namespace quipular
