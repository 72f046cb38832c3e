// The command table: every command once, with its key, what the screen, the
// voice and the log call it, how operand entry takes it, how it is carried
// out, and how the menu and the key test name it. Everything that walks
// commands walks this.
#pragma once

#include <span>
#include <string>

#include "calculator/operands.h"

namespace quipular {

// How operand entry takes a command key.
enum class EntryKind : unsigned char {
  kOwn,         // operand entry has its own steps for it (EEX, CHS, decimals)
  kWaits,       // written, then Enter carries it out; other keys are refused
  kWaitsFree,   // written, then Enter carries it out; other keys are not filtered
  kAtOnce,      // written and carried out at once
  kAtOnceLine,  // the same, with a line end (the clears)
  kStore,       // a register key: the number typed, or X, is stored at once
};

// How the key test names a command; the key's name and the letter it spells
// come from the key itself.
struct KeyTestText {
  const char* function = nullptr;  // FUNÇÃO (UTF-8); null: the key test does not know it
  const char* kind = nullptr;      // TIPO (UTF-8)
  bool stores = false;             // "DOArmazena" is said before the sound: a register key
  const char* shift = "DOShift";   // said for Shift; the first groups have another recording
  const char* sound = nullptr;     // said instead of the command's sound
  const char* red = nullptr;       // written in red after FUNÇÃO
};

struct Command {
  char key;              // the command character (a named control code or a letter)
  const char* label;     // written by AnnounceCommand (UTF-8)
  const char* sound;     // the sound key
  const char* log_name;  // written to the calculation log (UTF-8)
  EntryKind entry;
  bool logged;   // the command loop logs the token before carrying it out
  bool checked;  // carried out by the validating dispatcher
  // Carries the token out on the operands; true when their result is to be
  // pushed. Null: the result is pushed again, as a menu answer with no
  // action does.
  bool (*run)(char token, Operands& operands);
  // The domain check of its operands; null when any operands will do.
  bool (*domain)(double y, double x);
  const char* menu_name;   // the menu's text; null when the menu does not list it
  const char* menu_sound;  // said by the menu when it differs from `sound`
  const char* help;        // said by the menu's F1
  // How the key test names it; without it the key test calls the key invalid.
  KeyTestText key_test = {};
  // Chosen in the menu without "function inserted": it acts at once or asks
  // for more.
  bool menu_quiet = false;
};

std::span<const Command> Commands();

// The row of a command character, or null. "k" is the CFj row here.
const Command* FindCommand(char key);

// The row as the user meets it now: "k" is CFo at cash-flow position 1 or
// less and CFj after.
const Command* FindKey(char key);
const Command* FindKey(const std::string& text);

// The sound the menu says for a command.
inline const char* MenuSound(const Command& c) {
  return c.menu_sound ? c.menu_sound : c.sound;
}

}  // namespace quipular
