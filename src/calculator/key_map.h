// The key map: for every command key its label, sound key and log name; the
// announcements built on it and the command-name tables of the menu.
#pragma once

#include <string>

namespace quipular {

struct KeyMapRow {
  char key;              // the command character
  const char* label;     // written by AnnounceCommand (UTF-8)
  const char* sound;     // the sound key
  const char* log_name;  // written to the calculation log (UTF-8)
};

// The row of a command character, or null. "k" depends on the cash-flow
// position: CFo at position 1 or less, CFj after.
const KeyMapRow* FindKey(char key);
const KeyMapRow* FindKey(const std::string& text);

// Writes the key's label at the cursor and plays its sound.
void AnnounceCommand(const std::string& text);
// The space bar: speaks the number being typed, or the command's sound.
void RepeatEntry(const std::string& text);

struct CommandNames {
  std::string functions[57];  // the menu's function names, empty places empty
  std::string keys[15];       // the menu's key names
};

extern CommandNames g_command_names;

void InitCommandNames();

}  // namespace quipular
