// Audio devices: SDL output, recording on the front-end clock, none.
#include "voice/audio_devices.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "console/sdl_module.h"
#include "console/text_console.h"

namespace quipular {

namespace {

NullAudioDevice g_null_device;
AudioDevice* g_audio = &g_null_device;

double BytesPerMs(const AudioFormat& f) {
  return f.rate * f.channels * (f.bits / 8) / 1000.0;
}

double Now() {
  return static_cast<double>(FrontendNowMs());
}

}  // namespace

AudioDevice& Audio() {
  return *g_audio;
}
void SetAudioDevice(AudioDevice* device) {
  g_audio = device ? device : &g_null_device;
}

int RecordingAudioDevice::Open(const AudioFormat& f) {
  ++opens;
  if (busy_answers > 0) {
    --busy_answers;
    return kDeviceAllocated;
  }
  if (open_answer == 0) format = f;
  return open_answer;
}

int RecordingAudioDevice::Write(int index, const uint8_t* data, size_t length) {
  if (keep) {
    played.insert(played.end(), data, data + length);
    lengths.push_back(length);
  }
  double start = std::max(Now(), busy_until_);
  double rate = BytesPerMs(format);
  busy_until_ = start + (rate > 0 ? length / rate : 0);
  queue_.push_back(Block{index, busy_until_});
  return 0;
}

void RecordingAudioDevice::Reset() {
  for (const Block& b : queue_) finished_.push_back(b.index);
  queue_.clear();
  busy_until_ = Now();
}

void RecordingAudioDevice::Close() {
  Reset();
}

void RecordingAudioDevice::TakeFinished(std::vector<int>& finished) {
  double now = Now();
  while (!queue_.empty() && queue_.front().end_ms <= now) {
    finished_.push_back(queue_.front().index);
    queue_.pop_front();
  }
  finished.insert(finished.end(), finished_.begin(), finished_.end());
  finished_.clear();
}

void RecordingAudioDevice::Wait(int ms) {
  double wait = ms;
  if (!queue_.empty()) wait = std::min(wait, queue_.front().end_ms - Now());
  // Whole milliseconds, rounded up: a block ending a fraction of a
  // millisecond from now must still be reached.
  FrontendSleep(std::max(static_cast<int>(std::ceil(wait)), 0));
}

std::unique_ptr<AudioDevice> LoadSdlAudioDevice() {
  using Factory = AudioDevice* (*)();
  auto factory = reinterpret_cast<Factory>(LoadModuleSymbol("QuipularNewSdlAudioDevice"));
  return std::unique_ptr<AudioDevice>(factory ? factory() : nullptr);
}

}  // namespace quipular
