// The Braille keyboard: chords to characters, the number and capital signs
// of mode 2, and the tones that tell the mode.
#include "console/braille_keyboard.h"

#include "console/text_console.h"

namespace quipular {

BrailleKeyboard g_braille;

namespace {

// The cell table, indexed by the dot pattern, in Windows-1252.
constexpr unsigned char kCells[64] = {
    ' ',  'a',  ',',  'b',  '\'', 'k', ';', 'l',  '^',  'c',  'i',  'f',  0xED, 'm', 's',  'p',
    '~',  'e',  ':',  'h',  '*',  'o', '!', 'r',  0xAC, 'd',  'j',  'g',  0xE3, 'n', 't',  'q',
    0xFD, 0xE2, '?',  0xEA, '-',  'u', '"', 'v',  '{',  0xEE, 0xF5, 0xE0, 0xF3, 'x', 0xE8, 0xE7,
    '$',  0xFB, 0xFF, 0xFC, '}',  'z', '=', 0xE1, '_',  0xF4, 'w',  0xEF, '#',  'y', 0xFA, 0xE9,
};

constexpr unsigned char kNumberSign = '#';   // cell 60
constexpr unsigned char kCapitalSign = '{';  // cell 40
constexpr unsigned char kNothing = 254;      // a chord that types nothing
constexpr int kToneMs = 200;

BrailleKeyboard& B() {
  return g_braille;
}

bool IsLetter(char key) {
  return (key >= 'a' && key <= 'z') || (key >= 'A' && key <= 'Z');
}

void ClearSigns() {
  B().capital = B().caps_lock = B().number = false;
}

void Tone(int hz) {
  StartTone(hz);
  Pause(kToneMs);
  StopTone();
}

// The number and capital signs of mode 2 applied to a chord's character.
unsigned char ModeTwo(unsigned char c) {
  BrailleKeyboard& b = B();
  if (b.number) {
    if (c == '\'')
      c = '.';
    else if (c >= 'a' && c <= 'i')
      c = static_cast<unsigned char>('1' + (c - 'a'));
    else if (c == 'j')
      c = '0';
    else if (c == '~')
      b.number = false;
  }
  if ((b.capital || b.caps_lock) && c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 32);
  if (c == kNumberSign) {
    b.number = true;
    return kNothing;
  }
  if (c == kCapitalSign) {
    if (b.capital) b.caps_lock = true;
    b.capital = true;
    return kNothing;
  }
  b.capital = false;
  return c;
}

// The character of the finished chord.
unsigned char FinishChord() {
  BrailleKeyboard& b = B();
  int dots = b.chord & 63;
  if (b.chord & kSpaceDot) {
    ClearSigns();
    return dots == 0 ? ' ' : static_cast<unsigned char>(kCells[dots] & 31);
  }
  return b.mode == 2 ? ModeTwo(kCells[dots]) : kCells[dots];
}

}  // namespace

int BrailleDot(char key) {
  switch (key) {
    case 'F':
    case 'f':
      return 1;
    case 'D':
    case 'd':
      return 2;
    case 'S':
    case 's':
      return 4;
    case 'J':
    case 'j':
      return 8;
    case 'K':
    case 'k':
      return 16;
    case 'L':
    case 'l':
      return 32;
    case ' ':
      return kSpaceDot;
    default:
      return 0;
  }
}

unsigned char BrailleCell(int dots) {
  return kCells[dots & 63];
}

void SetBrailleMode(int mode) {
  if (mode > 2) mode = 1;
  if (mode <= 0) {
    bool was_on = B().mode != 0;
    CancelBrailleChord();
    ClearSigns();
    if (was_on) Tone(100);
    mode = 0;
  } else {
    Tone(800);
    Tone(mode == 1 ? 1600 : 400);
  }
  B().mode = mode;
}

bool BrailleKeyDown(char key) {
  int dot = BrailleDot(key);
  B().chord |= dot;
  B().held |= dot;
  return dot != 0;
}

bool BrailleKeyUp(char key, bool ctrl) {
  BrailleKeyboard& b = B();
  int dot = BrailleDot(key);
  if (ctrl || (key != ' ' && !IsLetter(key))) {
    ClearSigns();
    // A chord key let go with Ctrl held is no longer held: the chord it
    // belonged to is dropped once no key is left, so it cannot stay stuck.
    b.held &= ~dot;
    if (b.held == 0) b.chord = 0;
    return false;
  }
  b.held &= ~dot;
  if (b.held != 0) return true;
  // A letter that is not a chord key, released with no chord begun (say the
  // F of Ctrl+F after Ctrl), types nothing.
  if (b.chord == 0) return true;
  unsigned char c = FinishChord();
  b.chord = 0;
  if (c != kNothing && g_console.queued < kKeyQueueSize) QueueKey(c);
  return true;
}

void CancelBrailleChord() {
  B().chord = B().held = 0;
}

}  // namespace quipular
