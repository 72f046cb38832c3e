// Wave arithmetic: pieces, rates, padding, compaction, headers.
#include "voice/wave_format.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace quipular {

size_t PieceSize(size_t remaining, size_t previous) {
  // A rest between 65535 and 65789 bytes would leave a last piece shorter
  // than a block's minimum; it is cut so that both pieces are long enough.
  if (remaining >= 65535 && remaining <= 65789) return 65278;
  if (remaining <= kBlockBytes && (previous == 0 || remaining <= previous)) return remaining;
  if (remaining <= kBlockBytes) return previous;
  return kBlockBytes;
}

int PlaybackRate(int rate, bool fast) {
  return fast ? static_cast<int>(rate * 1.5) : rate;
}

size_t PrepareBlock(uint8_t* block, const uint8_t* data, size_t n, int bits, int channels) {
  n = std::min(n, kBlockBytes);
  std::memcpy(block, data, n);
  bool mono8 = bits == 8 && channels == 1;
  if (n < kMinBlock) std::memset(block + n, mono8 ? 128 : 0, kMinBlock - n);
  if (mono8 && n != kBlockBytes && n > 0) block[n - 1] = 128;
  return std::max(n, kMinBlock);
}

namespace {

// Mono samples seen as unsigned levels (silence in the middle), 8 or 16 bits.
struct Samples {
  uint8_t* s;
  int width;  // bytes a sample
  int Level(size_t i) const {
    return width == 1 ? s[i] : static_cast<int16_t>(Le16(s + 2 * i)) + 32768;
  }
  void Copy(size_t to, size_t from, size_t count) {
    std::memmove(s + to * width, s + from * width, count * width);
  }
};

// First position of the greatest level in s[from .. to] (clamped to n);
// keep when no level there is above 0.
size_t Peak(const Samples& s, size_t n, size_t from, size_t to, size_t keep) {
  size_t best = keep;
  int top = 0;
  for (size_t i = from; i <= to && i < n; ++i)
    if (s.Level(i) > top) {
      top = s.Level(i);
      best = i;
    }
  return best;
}

}  // namespace

size_t CompactSpeech(uint8_t* bytes, size_t n, int bits, int rate) {
  Samples s{bytes, bits == 16 ? 2 : 1};
  n /= s.width;
  if (n < 1000) return n * s.width;
  size_t scale = std::max(1, (rate + 11025 / 2) / 11025);
  size_t start = 200 * scale, shortest = 80 * scale, range = 50 * scale;
  int middle = s.width == 1 ? 128 : 32768, loud = s.width == 1 ? 20 : 20 * 256;
  size_t p = Peak(s, n, start, start + shortest + range, 0);
  size_t out = p;
  while (n > 2 * (shortest + range) && p < n - 2 * (shortest + range)) {
    size_t a = Peak(s, n, p + shortest, p + shortest + range, p);
    size_t e = Peak(s, n, a + shortest, a + shortest + range, a);
    if (e < a || e <= p) break;  // no progress: the rest is copied below
    s.Copy(out, a, e - a + 1);
    out += e - a + 1;
    p = e;
  }
  // The sound goes on to its next quiet sample, so that the cut is not heard.
  while (out < n && p < n && std::abs(s.Level(out) - middle) > loud) s.Copy(out++, p++, 1);
  return out * s.width;
}

void WriteWordHeader(uint8_t* h, uint32_t data_length, int rate, int channels, int bits) {
  auto put32 = [](uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
  };
  auto put16 = [](uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
  };
  std::memcpy(h, "RIFF", 4);
  put32(h + 4, data_length + 36);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  put32(h + 16, 16);
  int align = channels * bits / 8;
  put16(h + 20, 1);  // PCM
  put16(h + 22, static_cast<uint16_t>(channels));
  put32(h + 24, static_cast<uint32_t>(rate));
  put32(h + 28, static_cast<uint32_t>(rate * align));  // bytes per second
  put16(h + 32, static_cast<uint16_t>(align));
  put16(h + 34, static_cast<uint16_t>(bits));
  std::memcpy(h + 36, "data", 4);
  put32(h + 40, data_length);
}

bool TagIs(const uint8_t* p, const char* tag) {
  for (int i = 0; i < 4; ++i)
    if (std::tolower(p[i]) != std::tolower(static_cast<unsigned char>(tag[i]))) return false;
  return true;
}

}  // namespace quipular
