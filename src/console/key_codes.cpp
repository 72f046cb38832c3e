// The console's key-code tables.
#include "console/key_codes.h"

#include <cstring>

namespace quipular {

namespace {

// Alt codes of the letters A to Z and the digits 0 to 9.
constexpr unsigned char kAltLetter[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                          49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
constexpr unsigned char kAltDigit[10] = {129, 120, 121, 122, 123, 124, 125, 126, 127, 128};

}  // namespace

unsigned char ExtendedCode(ExtendedKey key, bool ctrl, bool shift) {
  if (ctrl) return kExtendedKeys[key].ctrl_code;
  if (shift && key == kKeyIns) return kShiftInsertCode;
  return kExtendedKeys[key].code;
}

ExtendedKey ExtendedKeyOfCode(unsigned char code) {
  for (int k = 0; k < kExtendedKeyCount; ++k)
    if (kExtendedKeys[k].code == code) return static_cast<ExtendedKey>(k);
  return kNoExtendedKey;
}

ExtendedKey ExtendedKeyNamed(const char* name) {
  for (int k = 0; k < kExtendedKeyCount; ++k)
    if (std::strcmp(kExtendedKeys[k].name, name) == 0) return static_cast<ExtendedKey>(k);
  return kNoExtendedKey;
}

unsigned char AltCode(char c) {
  if (c >= 'a' && c <= 'z') return kAltLetter[c - 'a'];
  if (c >= 'A' && c <= 'Z') return kAltLetter[c - 'A'];
  if (c >= '0' && c <= '9') return kAltDigit[c - '0'];
  return 0;
}

unsigned char CtrlCharacter(unsigned char c) {
  if (c == 8) return 127;
  if (c == 13) return 10;
  return c;
}

}  // namespace quipular
