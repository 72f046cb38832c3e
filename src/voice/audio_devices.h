// The audio devices: SDL's audio output, a recording device that plays on
// the front-end's clock (scripts and tests), and no device at all.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include "voice/audio_device.h"

namespace quipular {

// No audio device: every open answers that there is no driver.
class NullAudioDevice : public AudioDevice {
 public:
  int Open(const AudioFormat&) override { return kNoDriver; }
  int Write(int, const uint8_t*, size_t) override { return kNoDriver; }
  void Reset() override {}
  void Close() override {}
  void TakeFinished(std::vector<int>&) override {}
  void Wait(int) override {}
};

// Plays blocks in the time of the console's front-end clock (virtual in
// scripts), keeping what was played; open answers can be set for tests.
class RecordingAudioDevice : public AudioDevice {
 public:
  int Open(const AudioFormat& format) override;
  int Write(int index, const uint8_t* data, size_t length) override;
  void Reset() override;
  void Close() override;
  void TakeFinished(std::vector<int>& finished) override;
  void Wait(int ms) override;

  int open_answer = 0;          // what Open answers
  int busy_answers = 0;         // how many opens answer "allocated" first
  int opens = 0;                // open attempts so far
  AudioFormat format;           // the format last opened
  std::vector<uint8_t> played;  // every byte handed over, in order
  std::vector<size_t> lengths;  // the length of every block handed over

 private:
  struct Block {
    int index;
    double end_ms;
  };
  std::deque<Block> queue_;
  std::vector<int> finished_;
  double busy_until_ = 0;
};

// SDL audio with a pull callback and a small buffer, so that a stop silences
// the output within one buffer. The device stays open between prompts of
// the same format.
class SdlAudioDevice : public AudioDevice {
 public:
  ~SdlAudioDevice() override;
  int Open(const AudioFormat& format) override;
  int Write(int index, const uint8_t* data, size_t length) override;
  void Reset() override;
  void Close() override;
  void TakeFinished(std::vector<int>& finished) override;
  void Wait(int ms) override;
  // The device buffer in samples (set before the first open).
  int buffer_samples = 0;
  // Told, on the audio thread, of every buffer filled and whether it held
  // sound (for measurements).
  void (*fill_observer)(bool sound) = nullptr;

 private:
  static void Callback(void* self, uint8_t* stream, int length);
  void Fill(uint8_t* stream, int length);
  struct Pending {
    int index;
    const uint8_t* data;
    size_t length, position;
  };
  bool initialised_ = false;
  bool unavailable_ = false;
  uint32_t device_ = 0;
  AudioFormat format_;
  uint8_t silence_ = 0;
  std::mutex mutex_;
  std::condition_variable done_;
  std::deque<Pending> queue_;
  std::vector<int> finished_;
};

}  // namespace quipular
