// Decoding prompt files: the chunks of a RIFF/WAVE file, FLAC through libFLAC.
#include "voice/wave_decode.h"

#include <FLAC/stream_decoder.h>

#include <algorithm>
#include <cstring>

#include "voice/wave_format.h"

namespace quipular {
namespace {

bool Playable(int rate, int channels, int bits) {
  return channels >= 1 && channels <= 2 && (bits == 8 || bits == 16) && rate >= 1000 &&
         rate <= 192000;
}

bool DecodeRiff(const uint8_t* p, size_t size, Wave& wave) {
  // "RIFF", size, "WAVE", then a format chunk whose first 16 bytes hold the
  // fields wanted; the chunks after it are skipped up to "data".
  if (size < 20 || !TagIs(p, "RIFF") || !TagIs(p + 12, "fmt ")) return false;
  uint64_t length = Le32(p + 16);
  if (length < 16 || size < 36) return false;
  wave.channels = Le16(p + 22);
  wave.rate = static_cast<int>(Le32(p + 24));
  wave.bits = Le16(p + 34);
  if (!Playable(wave.rate, wave.channels, wave.bits)) return false;
  uint64_t at = 20 + length + (length & 1);
  while (at + 8 <= size) {
    length = Le32(p + at + 4);
    if (!TagIs(p + at, "data")) {
      at += 8 + length + (length & 1);
      continue;
    }
    size_t available = static_cast<size_t>(std::min<uint64_t>(length, size - at - 8));
    // Nothing of a data chunk that claims some is a file cut short.
    if (length > 0 && available == 0) return false;
    size_t frame = static_cast<size_t>(wave.channels * wave.bits / 8);
    wave.data.assign(p + at + 8, p + at + 8 + available / frame * frame);
    return true;
  }
  return false;
}

struct FlacSource {
  const uint8_t* bytes;
  size_t size, at;
  Wave* wave;
  bool bad;
};

FLAC__StreamDecoderReadStatus Read(const FLAC__StreamDecoder*, FLAC__byte buffer[], size_t* bytes,
                                   void* data) {
  auto* s = static_cast<FlacSource*>(data);
  size_t n = std::min(*bytes, s->size - s->at);
  std::memcpy(buffer, s->bytes + s->at, n);
  s->at += n;
  *bytes = n;
  return n == 0 ? FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM
                : FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
}

// Samples of up to 8 bits become unsigned 8-bit ones, wider ones 16-bit.
FLAC__StreamDecoderWriteStatus Write(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                     const FLAC__int32* const buffer[], void* data) {
  auto* s = static_cast<FlacSource*>(data);
  Wave& w = *s->wave;
  int depth = static_cast<int>(frame->header.bits_per_sample);
  int channels = static_cast<int>(frame->header.channels);
  if (channels != w.channels || depth < 4 || depth > 32 || (depth <= 8) != (w.bits == 8)) {
    s->bad = true;
    return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
  }
  size_t at = w.data.size(), frames = frame->header.blocksize;
  w.data.resize(at + frames * static_cast<size_t>(channels * w.bits / 8));
  uint8_t* out = w.data.data() + at;
  for (size_t i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c) {
      int32_t v = buffer[c][i];
      if (w.bits == 8) {
        *out++ = static_cast<uint8_t>(v * (1 << (8 - depth)) + 128);
      } else {
        v = depth > 16 ? v >> (depth - 16) : v * (1 << (16 - depth));
        *out++ = static_cast<uint8_t>(v);
        *out++ = static_cast<uint8_t>(v >> 8);
      }
    }
  return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void Metadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* m, void* data) {
  if (m->type != FLAC__METADATA_TYPE_STREAMINFO) return;
  auto* s = static_cast<FlacSource*>(data);
  const auto& info = m->data.stream_info;
  Wave& w = *s->wave;
  w.rate = static_cast<int>(info.sample_rate);
  w.channels = static_cast<int>(info.channels);
  w.bits = info.bits_per_sample <= 8 ? 8 : 16;
  if (!Playable(w.rate, w.channels, w.bits)) s->bad = true;
  // The stated length is only a hint: a file may claim any.
  uint64_t bytes = info.total_samples * static_cast<uint64_t>(w.channels * w.bits / 8);
  w.data.reserve(static_cast<size_t>(std::min<uint64_t>(bytes, 32 * s->size + 4096)));
}

void Error(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* data) {
  static_cast<FlacSource*>(data)->bad = true;
}

bool DecodeFlac(const uint8_t* bytes, size_t size, Wave& wave) {
  FLAC__StreamDecoder* decoder = FLAC__stream_decoder_new();
  if (!decoder) return false;
  FlacSource source{bytes, size, 0, &wave, false};
  bool ok = FLAC__stream_decoder_init_stream(decoder, &Read, nullptr, nullptr, nullptr, nullptr,
                                             &Write, &Metadata, &Error,
                                             &source) == FLAC__STREAM_DECODER_INIT_STATUS_OK &&
            FLAC__stream_decoder_process_until_end_of_metadata(decoder) && !source.bad &&
            wave.rate != 0 && FLAC__stream_decoder_process_until_end_of_stream(decoder) &&
            !source.bad;
  FLAC__stream_decoder_delete(decoder);
  return ok;
}

}  // namespace

bool DecodeWave(const uint8_t* bytes, size_t size, Wave& wave) {
  wave = Wave{};
  bool ok = size >= 4 && std::memcmp(bytes, "fLaC", 4) == 0 ? DecodeFlac(bytes, size, wave)
                                                            : DecodeRiff(bytes, size, wave);
  if (!ok) wave = Wave{};
  return ok;
}

}  // namespace quipular
