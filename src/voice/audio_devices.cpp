// Audio devices: SDL output, recording on the front-end clock, none.
#include "voice/audio_devices.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "console/frontend.h"
#include "console/text_console.h"

namespace quipular {

namespace {

NullAudioDevice g_null_device;
AudioDevice* g_audio = &g_null_device;

double BytesPerMs(const AudioFormat& f) {
  return f.rate * f.channels * (f.bits / 8) / 1000.0;
}

double Now() {
  return static_cast<double>(g_console.frontend->NowMs());
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
  played.insert(played.end(), data, data + length);
  lengths.push_back(length);
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
  int whole = static_cast<int>(wait + 0.999);
  g_console.frontend->Sleep(std::max(whole, 0));
}

SdlAudioDevice::~SdlAudioDevice() {
  if (device_) SDL_CloseAudioDevice(device_);
  if (initialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioDevice::Callback(void* self, uint8_t* stream, int length) {
  static_cast<SdlAudioDevice*>(self)->Fill(stream, length);
}

void SdlAudioDevice::Fill(uint8_t* stream, int length) {
  std::lock_guard<std::mutex> lock(mutex_);
  size_t want = static_cast<size_t>(length), put = 0;
  bool any = false;
  while (put < want && !queue_.empty()) {
    Pending& p = queue_.front();
    size_t n = std::min(want - put, p.length - p.position);
    std::memcpy(stream + put, p.data + p.position, n);
    put += n;
    p.position += n;
    if (p.position == p.length) {
      finished_.push_back(p.index);
      queue_.pop_front();
      any = true;
    }
  }
  if (put < want) std::memset(stream + put, silence_, want - put);
  if (any) done_.notify_all();
  if (fill_observer) fill_observer(put > 0);
}

int SdlAudioDevice::Open(const AudioFormat& format) {
  if (unavailable_) return kNoDriver;
  if (!initialised_) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      unavailable_ = true;
      return kNoDriver;
    }
    initialised_ = true;
  }
  if (device_ && format == format_) {
    SDL_PauseAudioDevice(device_, 0);
    return 0;
  }
  if (device_) {
    SDL_CloseAudioDevice(device_);
    device_ = 0;
  }
  SDL_AudioSpec want{}, have{};
  want.freq = format.rate;
  want.format = format.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  want.channels = static_cast<Uint8>(format.channels);
  int samples = buffer_samples;
  if (samples <= 0) {
    // About 10 ms of sound: a stop is heard within one buffer.
    samples = 64;
    while (samples * 100 < format.rate) samples *= 2;
  }
  want.samples = static_cast<Uint16>(samples);
  want.callback = &SdlAudioDevice::Callback;
  want.userdata = this;
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (!device_) {
    const char* error = SDL_GetError();
    bool busy = error && (std::strstr(error, "busy") || std::strstr(error, "Busy"));
    if (!busy && SDL_GetNumAudioDevices(0) <= 0) unavailable_ = true;
    return busy ? kDeviceAllocated : kNoDriver;
  }
  format_ = format;
  silence_ = have.silence;
  SDL_PauseAudioDevice(device_, 0);
  return 0;
}

int SdlAudioDevice::Write(int index, const uint8_t* data, size_t length) {
  if (!device_) return kNoDriver;
  std::lock_guard<std::mutex> lock(mutex_);
  queue_.push_back(Pending{index, data, length, 0});
  return 0;
}

void SdlAudioDevice::Reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const Pending& p : queue_) finished_.push_back(p.index);
  queue_.clear();
}

void SdlAudioDevice::Close() {
  // The device stays open for the next prompt; it only plays silence.
  Reset();
}

void SdlAudioDevice::TakeFinished(std::vector<int>& finished) {
  std::lock_guard<std::mutex> lock(mutex_);
  finished.insert(finished.end(), finished_.begin(), finished_.end());
  finished_.clear();
}

void SdlAudioDevice::Wait(int ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !finished_.empty(); });
}

}  // namespace quipular
