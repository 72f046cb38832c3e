// The stack keys: the keys that carry no command but act on the stack and
// the modes at the operand prompt (F1 to F9, the arrows, PgUp, Ctrl+M). One
// table says what each does at the prompt, how the key test shows and says
// it, and where the menu lists it.
#pragma once

#include <span>

#include "calculator/command_row.h"
#include "console/key_codes.h"

namespace quipular {

// What a stack key does at the prompt.
enum class StackAction : unsigned char {
  kHelpInMenu,         // says that its help is in the menu
  kSayX,               // says X
  kSayStack,           // says X, Y, Z and T
  kRollDown,           // rolls the stack down, logged
  kSwapXY,             // swaps X and Y, logged
  kNextInterestMode,   // moves to the next interest mode
  kSwitchPaymentMode,  // END becomes BEG and back
};

// Steps of a key test's sound list besides sound keys and spelled characters
// (a one-character text is spelled). A list without kKeyTestWriteKey has all
// three texts written before any sound.
constexpr const char* kKeyTestOwn = "\x01";        // spell the character the key stands for
constexpr const char* kKeyTestWriteKey = "\x02";   // write the TECLA text now
constexpr const char* kKeyTestWriteRest = "\x03";  // write the FUNÇÃO and TIPO texts now
constexpr int kKeyTestSteps = 6;                   // the longest sound list

// A menu item that stands for a stack key. The menu hands back the code of a
// key typed with Ctrl; it cannot hand an extended key back, so choosing such
// an item closes the menu and carries nothing out.
struct StackMenuItem {
  const char* text = nullptr;   // the text shown; null: no item
  const char* sound = nullptr;  // said when the item is reached
  const char* help = nullptr;   // said by F1
  int place = 0;                // where it goes among the column's commands
};

struct StackKeyRow {
  // The extended keys it is (a range for F1 to F9), or kNoExtendedKey for a
  // key typed with Ctrl: its code, and the letter held.
  ExtendedKey first = kNoExtendedKey, last = kNoExtendedKey;
  char code = 0;
  char ctrl = 0;
  StackAction action;
  // What it does, in plain ASCII: FUNÇÃO in the key test, and the text the
  // prompt writes and logs for a key that changes the stack.
  const char* name;
  const char* sound;  // said by the prompt for what it does; null: it says a mode
  // The key test's row: TECLA (for a range, with the character of its first
  // key appended, own), TIPO (UTF-8) and its sound list.
  const char* key;
  char own;
  const char* kind;
  const char* key_test_sounds[kKeyTestSteps];
  MenuColumnId column = MenuColumnId::kNone;
  StackMenuItem menu[2] = {};
};

std::span<const StackKeyRow> StackKeys();

// The stack key an extended key is; null for the others.
const StackKeyRow* FindStackKey(ExtendedKey key);

}  // namespace quipular
