// SDL's audio output as an audio device. It lives in the SDL module, which
// the program loads only when it needs sound, so that scripts start fast.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>

#include "voice/audio_device.h"

namespace quipular {

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
  // The format SDL opened the device with, as it reported it.
  AudioFormat obtained;
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

// The module's entry: a new SDL audio device.
extern "C" quipular::AudioDevice* QuipularNewSdlAudioDevice();
