// The audio devices: a recording device that plays on the front-end's clock
// (scripts and tests), no device at all, and the loader of SDL's output.
#pragma once

#include <deque>
#include <memory>
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
// scripts); tests may have it keep what was played and set its answers.
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
  bool keep = false;            // keep what is played (tests); a long run would grow
  std::vector<uint8_t> played;  // every byte handed over, in order, when kept
  std::vector<size_t> lengths;  // the length of every block handed over, when kept

 private:
  struct Block {
    int index;
    double end_ms;
  };
  std::deque<Block> queue_;
  std::vector<int> finished_;
  double busy_until_ = 0;
};

// SDL audio, from the SDL module loaded when a person is listening (scripts
// and tests never load it); null when the module or SDL cannot be loaded.
std::unique_ptr<AudioDevice> LoadSdlAudioDevice();

}  // namespace quipular
