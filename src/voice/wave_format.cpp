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

// First position of the greatest sample in s[from .. to] (clamped to n);
// keep when no sample there is above 0.
size_t Peak(const uint8_t* s, size_t n, size_t from, size_t to, size_t keep) {
  size_t best = keep;
  int top = 0;
  for (size_t i = from; i <= to && i < n; ++i)
    if (s[i] > top) {
      top = s[i];
      best = i;
    }
  return best;
}

}  // namespace

size_t CompactSpeech(uint8_t* s, size_t n, int bits, int rate) {
  if (bits == 16) {
    n /= 2;
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<uint8_t>(s[2 * i + 1] ^ 0x80);
  }
  if (n < 1000) return n;
  size_t scale = rate == 11025 ? 1 : 4;
  size_t start = 200 * scale, shortest = 80 * scale, range = 50 * scale;
  size_t p = Peak(s, n, start, start + shortest + range, 0);
  size_t out = p;
  while (n > 2 * (shortest + range) && p < n - 2 * (shortest + range)) {
    size_t a = Peak(s, n, p + shortest, p + shortest + range, p);
    size_t e = Peak(s, n, a + shortest, a + shortest + range, a);
    if (e < a || e <= p) break;  // no progress: the rest is copied below
    std::memmove(s + out, s + a, e - a + 1);
    out += e - a + 1;
    p = e;
  }
  while (out < n && p < n && std::abs(static_cast<int>(s[out]) - 128) > 20) s[out++] = s[p++];
  return out;
}

void WriteWordHeader(uint8_t* h, uint32_t data_length) {
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
  put16(h + 20, 1);      // PCM
  put16(h + 22, 1);      // mono
  put32(h + 24, 11025);  // samples per second
  put32(h + 28, 11025);  // bytes per second
  put16(h + 32, 1);      // block alignment
  put16(h + 34, 8);      // bits
  std::memcpy(h + 36, "data", 4);
  put32(h + 40, data_length);
}

bool TagIs(const uint8_t* p, const char* tag) {
  for (int i = 0; i < 4; ++i)
    if (std::tolower(p[i]) != std::tolower(static_cast<unsigned char>(tag[i]))) return false;
  return true;
}

}  // namespace quipular
