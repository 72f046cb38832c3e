// The six-key Braille keyboard: F, D, S, J, K and L are dots 1 to 6 and the
// space bar a seventh key; a chord becomes a character when all its keys are
// released. Mode 1 types the cells of the table; mode 2 adds the number sign
// (digits) and the capital sign (capitals).
#pragma once

namespace quipular {

struct BrailleKeyboard {
  int mode = 0;            // 0 off, 1 or 2
  int chord = 0;           // dots pressed since the chord began (64 = the space bar)
  int held = 0;            // the chord keys still held
  bool capital = false;    // mode 2: the next letter is a capital
  bool caps_lock = false;  // mode 2: every letter is a capital
  bool number = false;     // mode 2: letters a to j are digits
};

extern BrailleKeyboard g_braille;

// Bits of the chord keys: dots 1 to 6 and the space bar.
constexpr int kSpaceDot = 64;

// Switches the keyboard to mode 0, 1 or 2 (above 2 is 1), sounding the mode
// tones through the console.
void SetBrailleMode(int mode);

// The dot of a key ('F', 'D', 'S', 'J', 'K', 'L' in either case, or ' ');
// 0 for any other key.
int BrailleDot(char key);

// The character of a cell (dots 1 to 6 as bits 1 to 32), in Windows-1252.
unsigned char BrailleCell(int dots);

// A key went down while the keyboard is on and Ctrl is not held: true when
// it is a chord key, which is then taken by the keyboard.
bool BrailleKeyDown(char key);

// A key went up while the keyboard is on: key is the letter (either case),
// ' ' for the space bar, 0 for any other key. A finished chord queues its
// character. Returns whether the key-up was taken by the keyboard.
bool BrailleKeyUp(char key, bool ctrl);

// Forgets the chord being typed (the window lost the keyboard, so releases
// of the keys held will never arrive).
void CancelBrailleChord();

}  // namespace quipular
