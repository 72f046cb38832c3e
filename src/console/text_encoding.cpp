// Conversions between Windows-1252 (screen, keys, log) and UTF-8 (source,
// terminal, dump files).
#include "console/text_encoding.h"

#include <cstdint>

namespace quipular {
namespace {

// Unicode code points of the bytes 128 to 159; 0 marks the five unused bytes.
constexpr uint16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

uint32_t CodePoint(unsigned char c) {
  if (c >= 128 && c < 160) return kHigh[c - 128] ? kHigh[c - 128] : c;
  return c;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

char ByteOf(uint32_t cp) {
  if (cp < 128 || (cp >= 160 && cp < 256)) return static_cast<char>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == cp) return static_cast<char>(128 + i);
  return '?';
}

}  // namespace

uint32_t Cp1252CodePoint(unsigned char c) {
  return CodePoint(c);
}

int Cp1252Byte(uint32_t code_point) {
  char b = ByteOf(code_point);
  return b == '?' && code_point != '?' ? -1 : static_cast<unsigned char>(b);
}

std::string Cp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    uint32_t cp = c;
    size_t len = 1;
    if (c >= 0xF0) {
      len = 4;
      cp = c & 0x07;
    } else if (c >= 0xE0) {
      len = 3;
      cp = c & 0x0F;
    } else if (c >= 0xC0) {
      len = 2;
      cp = c & 0x1F;
    } else if (c >= 0x80) {
      out += '?';
      ++i;
      continue;
    }
    if (i + len > utf8.size()) {
      out += '?';
      break;
    }
    for (size_t k = 1; k < len; ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out += ByteOf(cp);
    i += len;
  }
  return out;
}

std::string Utf8Char(unsigned char c) {
  std::string out;
  AppendUtf8(out, CodePoint(c));
  return out;
}

std::string Utf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size());
  for (char c : cp1252) AppendUtf8(out, CodePoint(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace quipular
