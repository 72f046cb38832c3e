// What the console layer keeps from one call to the next besides its
// modules' own structs (the screen model, the transcript, the Braille
// parts): the settings files read, the message for the end, the pace of the
// display's polls. ResetConsole clears it with the screen model.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>

namespace quipular {

struct ConsoleState {
  // What the program has to tell on standard error as it ends (ExitMessage).
  std::string exit_message;
  // The settings files read so far, by path: each value under its section
  // and key in lower case, joined by a line feed.
  std::map<std::string, std::map<std::string, std::string>> profiles;
  // VESTRA.INI as found in each directory asked about (empty: none there).
  std::map<std::string, std::string> settings_files;
  // The first installation directory that holds a settings file, once
  // looked for.
  std::optional<std::string> installed_settings;
  // When the Braille display was last asked for its keys.
  std::chrono::steady_clock::time_point display_polled;
};

extern ConsoleState g_console_state;

}  // namespace quipular
