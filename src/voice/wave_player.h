// The wave player: PCM through the audio device in blocks on four rotating
// buffers, with fast playback and speech compaction. A key press stops it;
// the key stays queued for the next reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "voice/audio_device.h"
#include "voice/wave_format.h"

namespace quipular {

constexpr int kBlocks = 4;

struct WavePlayer {
  bool device_open = false;               // the device has been opened and not closed
  AudioFormat format;                     // the format of the open device
  uint8_t buffers[kBlocks][kBlockBytes];  // the rotating block buffers
  bool in_flight[kBlocks] = {};           // handed to the device, not yet finished
  int queued = 0;                         // blocks handed to the device and not finished
  int index = 0;                          // the buffer used last, 0 to 3
  uint8_t compact_buffer[kBlockBytes];    // a block being compacted
  bool fast_playback = false;             // 1.5 times the rate
  bool speech_compaction = false;         // drop every other pitch period
  bool first_prompt = true;               // the first prompt waits for anything still sounding
};

extern WavePlayer g_player;

// Forgets everything (device closed, flags at their start values, no prompt
// kept in memory).
void ResetWavePlayer();

// How a prompt's playing ended.
struct Played {
  int error = 0;     // 0 when played or skipped for a waiting key, -1 when the file cannot be
                     // opened or is neither a wave with a data chunk nor FLAC, otherwise the
                     // device's error code
  bool cut = false;  // a key stopped it while it sounded
};

// Fast playback (1.5 times the rate) and speech compaction, for what is
// played from now on.
void SetPlaybackOptions(bool fast_playback, bool speech_compaction);

// Plays a prompt file (a wave, or FLAC) and waits for its end. The file is
// decoded once and kept (voice/wave_cache.h).
Played PlayWaveFile(const std::string& path);
// The same for a prompt's path as the settings write it (voice/path_map.h).
Played PlayPromptFile(const std::string& windows_path);
// Queues PCM (does not wait for its end): 0, or the device's error code.
int PlayPcm(const uint8_t* samples, size_t length, int rate, int channels, int bits);
bool WaveBusy();
void StopWave();
// An assembled wave: waits for the first prompt, plays it and waits; true
// when a key cut it.
bool PlayWordWave(const uint8_t* image, size_t size);
void StopSpeech();
// Once per run: waits until nothing is sounding.
void WaitForFirstPrompt();

// Called from the console's event dispatch for finished blocks.
void WaveDone();

}  // namespace quipular
