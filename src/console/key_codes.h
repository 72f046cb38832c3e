// The console's key codes: the extended keys with their plain and Ctrl
// codes, the Alt codes of letters and digits, and the two characters that
// change while Ctrl is held. One table for every front-end and for scripts.
#pragma once

namespace quipular {

// Codes of the ordinary keys that are not printable characters, named by
// the key; the command table says what each one does.
constexpr char kCtrlA = 1;
constexpr char kCtrlD = 4;
constexpr char kCtrlE = 5;
constexpr char kCtrlF = 6;
constexpr char kBackspace = 8;
constexpr char kCtrlI = 9;       // also Tab
constexpr char kCtrlEnter = 10;  // Enter or M typed with Ctrl held
constexpr char kCtrlK = 11;
constexpr char kCtrlL = 12;
constexpr char kEnter = 13;
constexpr char kCtrlN = 14;
constexpr char kCtrlQ = 17;
constexpr char kCtrlT = 20;
constexpr char kCtrlW = 23;
constexpr char kCtrlX = 24;
constexpr char kCtrlZ = 26;
constexpr char kEsc = 27;
// The first code of an extended key (the arrows, the function keys, PgUp):
// its second code follows.
constexpr char kExtendedPrefix = 0;

inline bool IsDigit(unsigned char k) {
  return k >= '0' && k <= '9';
}

// The keys that arrive as the extended-key prefix 0 and a code.
enum ExtendedKey {
  kKeyF1,
  kKeyF2,
  kKeyF3,
  kKeyF4,
  kKeyF5,
  kKeyF6,
  kKeyF7,
  kKeyF8,
  kKeyF9,
  kKeyF10,
  kKeyF11,
  kKeyF12,
  kKeyIns,
  kKeyDel,
  kKeyHome,
  kKeyEnd,
  kKeyPgUp,
  kKeyPgDn,
  kKeyUp,
  kKeyDown,
  kKeyLeft,
  kKeyRight,
  kExtendedKeyCount,
  kNoExtendedKey = kExtendedKeyCount,
};

struct ExtendedKeyCodes {
  const char* name;         // as key notation writes it: "F1", "Ins", "PgUp", ...
  unsigned char code;       // the code after 0
  unsigned char ctrl_code;  // the code after 0 while Ctrl is held
};

// The one list of the extended keys' codes, in the order of ExtendedKey.
// Every part that reads or types an extended key (the front-ends, the
// Braille display, key notation, the prompt, the menu, the key test) names
// the key by ExtendedKey and finds its codes here.
// clang-format off
inline constexpr ExtendedKeyCodes kExtendedKeys[kExtendedKeyCount] = {
    {"F1", 59, 94},    {"F2", 60, 95},     {"F3", 61, 96},    {"F4", 62, 97},  {"F5", 63, 98},
    {"F6", 64, 99},    {"F7", 65, 100},    {"F8", 66, 101},   {"F9", 67, 102}, {"F10", 68, 103},
    {"F11", 69, 104},  {"F12", 70, 105},   {"Ins", 82, 255},  {"Del", 83, 83}, {"Home", 71, 119},
    {"End", 79, 117},  {"PgUp", 73, 132},  {"PgDn", 81, 118}, {"Up", 72, 113}, {"Down", 80, 114},
    {"Left", 75, 115}, {"Right", 77, 116},
};
// clang-format on

// Shift changes the code of one extended key only: Insert.
constexpr unsigned char kShiftInsertCode = 254;

// The function key Fn, n from 1 to 12.
constexpr ExtendedKey FunctionKey(int n) {
  return static_cast<ExtendedKey>(kKeyF1 + n - 1);
}

// The code after 0 for an extended key with no modifier held.
constexpr unsigned char PlainCode(ExtendedKey key) {
  return kExtendedKeys[key].code;
}

// The code after 0 for an extended key: the Ctrl code while Ctrl is held,
// else kShiftInsertCode for Shift+Insert, else the plain code. Shift changes no other key.
unsigned char ExtendedCode(ExtendedKey key, bool ctrl, bool shift);

// The extended key whose plain code is code; kNoExtendedKey when none (a
// Ctrl or Alt code among them).
ExtendedKey ExtendedKeyOfCode(unsigned char code);

// The extended key named name ("F1", "Ins", ...); kNoExtendedKey when none.
ExtendedKey ExtendedKeyNamed(const char* name);

// The code after 0 for Alt with a letter (either case) or a digit; 0 for any
// other character.
unsigned char AltCode(char c);

// A character typed with Ctrl held: Backspace and Ctrl+H (8) give 127,
// Enter and Ctrl+M (13) give 10; every other character stays.
unsigned char CtrlCharacter(unsigned char c);

}  // namespace quipular
