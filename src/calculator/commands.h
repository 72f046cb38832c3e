// The command table: every command once, with its key, what the screen, the
// voice and the log call it, how operand entry takes it, how it is carried
// out, and how the menu and the key test name it. Everything that walks
// commands walks this.
#pragma once

#include <span>
#include <string>

#include "calculator/command_row.h"

namespace quipular {

std::span<const Command> Commands();

// The row of a command character, or null. "k" is the CFj row here.
const Command* FindCommand(char key);

// The row as the user meets it now: "k" is CFo at cash-flow position 1 or
// less and CFj after.
const Command* FindKey(char key);
const Command* FindKey(const std::string& text);

// The line the log writes for a token: the log name of its row as the
// user meets it now (Windows-1252), or the token itself.
std::string LogLine(const std::string& token);

// The row operand entry handles in its own way `kind` (EEX, CHS, the
// decimals), or null.
const Command* FindEntry(EntryKind kind);

// The sound the menu says for a command.
inline const char* MenuSound(const Command& c) {
  return c.menu_sound ? c.menu_sound : c.sound;
}

}  // namespace quipular
