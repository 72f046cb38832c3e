// The arithmetic of wave playback, free of I/O: piece sizes, the fast rate,
// block padding, speech compaction, and RIFF/WAVE headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quipular {

constexpr size_t kBlockBytes = 65534;  // one device block, and the file read buffer
constexpr size_t kMinBlock = 256;      // blocks shorter than this are padded

// The next piece of a data chunk with `remaining` bytes left after a piece
// of `previous` bytes (0 for the first piece).
size_t PieceSize(size_t remaining, size_t previous);

// The device rate: 1.5 times the file's with fast playback.
int PlaybackRate(int rate, bool fast);

// Copies n bytes into a block buffer of kBlockBytes and prepares them for
// the device: 8-bit mono data shorter than 256 bytes is padded with silence
// (128), and its last byte is set to 128 unless the block is full. Returns
// the length to send, never below 256.
size_t PrepareBlock(uint8_t* block, const uint8_t* data, size_t n, int bits, int channels);

// Speech compaction in place of n bytes of mono samples (8-bit unsigned or
// 16-bit signed) recorded at `rate`: of each two pitch periods the first is
// dropped. Returns the new length in bytes; a block of fewer than 1000
// samples is left as it is. The periods looked for are in samples of
// 11025 Hz speech, scaled to the recording's rate.
size_t CompactSpeech(uint8_t* s, size_t n, int bits, int rate);

// The canonical 44-byte header of PCM for a data length: 8-bit mono at
// 11025 samples per second unless told otherwise.
void WriteWordHeader(uint8_t* header, uint32_t data_length, int rate = 11025, int channels = 1,
                     int bits = 8);

// Little-endian readers.
inline uint16_t Le16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Case-blind comparison of a four-character tag.
bool TagIs(const uint8_t* p, const char* tag);

}  // namespace quipular
