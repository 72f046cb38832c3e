// SDL audio: a pull callback fed from the player's blocks, finished blocks
// handed back on the program's thread.
#include "voice/sdl_audio_device.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "console/quiet_stderr.h"

namespace quipular {

SdlAudioDevice::~SdlAudioDevice() {
  QuietStandardError quiet(true);
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
    QuietStandardError quiet(true);
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
  QuietStandardError quiet(true);
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (!device_) {
    const char* error = SDL_GetError();
    bool busy = error && (std::strstr(error, "busy") || std::strstr(error, "Busy"));
    if (!busy && SDL_GetNumAudioDevices(0) <= 0) unavailable_ = true;
    return busy ? kDeviceAllocated : kNoDriver;
  }
  format_ = format;
  obtained = AudioFormat{have.freq, SDL_AUDIO_BITSIZE(have.format), have.channels};
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

extern "C" quipular::AudioDevice* QuipularNewSdlAudioDevice() {
  return new quipular::SdlAudioDevice();
}
