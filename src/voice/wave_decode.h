// Prompt files turned into PCM ready to queue: RIFF/WAVE files as they are,
// FLAC files decoded. No I/O: the caller hands over the file's bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quipular {

// PCM: 8-bit unsigned or 16-bit signed little-endian samples, interleaved.
struct Wave {
  int rate = 0;               // samples per second, 1000 to 192000
  int channels = 0;           // 1 or 2
  int bits = 0;               // 8 or 16
  std::vector<uint8_t> data;  // whole sample frames
};

// Decodes a prompt file's bytes, a wave or (by its first bytes "fLaC") a
// FLAC stream; false when it is neither, or its format cannot be played.
// A wave's data chunk that runs past the end of the file gives what is
// there; an empty one gives no data and is still a wave.
bool DecodeWave(const uint8_t* bytes, size_t size, Wave& wave);

}  // namespace quipular
