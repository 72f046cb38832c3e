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

extern const ExtendedKeyCodes kExtendedKeys[kExtendedKeyCount];

// The code after 0 for an extended key: the Ctrl code while Ctrl is held,
// else 254 for Shift+Insert, else the plain code. Shift changes no other key.
unsigned char ExtendedCode(ExtendedKey key, bool ctrl, bool shift);

// The extended key whose plain code is code; kNoExtendedKey when none.
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
