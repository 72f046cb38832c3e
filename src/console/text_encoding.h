// Text encodings: the screen, the key codes and the calculation log hold
// Windows-1252 bytes; source constants, the terminal and dump files are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quipular {

// UTF-8 text (as written in the source) to Windows-1252 bytes; a character
// that has no Windows-1252 form becomes '?'.
std::string Cp1252(std::string_view utf8);

// One Windows-1252 byte as a Unicode code point, and back (-1 when the
// code point has no Windows-1252 byte).
uint32_t Cp1252CodePoint(unsigned char c);
int Cp1252Byte(uint32_t code_point);

// Windows-1252 bytes to UTF-8.
std::string Utf8(std::string_view cp1252);

// One Windows-1252 byte to UTF-8.
std::string Utf8Char(unsigned char c);

}  // namespace quipular
