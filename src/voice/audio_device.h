// The audio device behind the wave player: opened with a PCM format, handed
// numbered blocks, and reporting finished blocks when polled on the
// program's thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quipular {

struct AudioFormat {
  int rate = 0;      // samples per second
  int bits = 0;      // 8 or 16
  int channels = 0;  // 1 or 2
  bool operator==(const AudioFormat&) const = default;
};

// Answers of Open, as the wave player knows them.
constexpr int kDeviceAllocated = 4;  // busy: another program holds it; worth retrying
constexpr int kNoDriver = 6;         // no audio device at all

class AudioDevice {
 public:
  virtual ~AudioDevice() = default;
  // 0, or one of the codes above.
  virtual int Open(const AudioFormat& format) = 0;
  // Queues a block; its bytes stay valid until it is reported finished.
  // 0, or non-zero when the block is refused.
  virtual int Write(int index, const uint8_t* data, size_t length) = 0;
  // Stops at once; every queued block is reported finished.
  virtual void Reset() = 0;
  virtual void Close() = 0;
  // Appends the blocks finished since the last call.
  virtual void TakeFinished(std::vector<int>& finished) = 0;
  // Waits at most ms (on this device's clock) for a block to finish.
  virtual void Wait(int ms) = 0;
};

// The device in use; set once at start.
AudioDevice& Audio();
void SetAudioDevice(AudioDevice* device);

}  // namespace quipular
