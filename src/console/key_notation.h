// Key notation for scripts: "5<Enter>3<Enter>+<Enter>", named keys in angle
// brackets, keys typed ahead together inside braces.
#pragma once

#include <string>
#include <vector>

namespace quipular {

struct ScriptKey {
  // kBrailleNext and kBrailleOff are Ctrl+Alt+F11 and Ctrl+Alt+F12.
  enum Kind { kBytes, kBreak, kClose, kQuit, kBrailleNext, kBrailleOff } kind = kBytes;
  std::string bytes;     // the key codes it queues (one, or 0 and a code)
  char ctrl_letter = 0;  // the capital letter held with Ctrl, if any
};

// A group of keys handed over at once (one key, or a braced group).
using KeyGroup = std::vector<ScriptKey>;

// Parses notation into groups; on a malformed text returns false and says
// why in error.
bool ParseKeyNotation(const std::string& text, std::vector<KeyGroup>& groups, std::string& error);

// Every name the notation knows, from the parser's own tables, as written
// between the angle brackets ("Enter", "Ctrl+Break"); a modifier ends with
// its plus ("Ctrl+"). The manual page and --help must name them all.
std::vector<std::string> KeyNotationNames();

}  // namespace quipular
