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

// A script kept as its text, a byte or so a key, and parsed a group at a
// time as the keys are handed over: a script of millions of keys takes
// little more memory than its file.
class KeyScript {
 public:
  KeyScript() = default;
  // Groups already parsed, handed over in order.
  KeyScript(std::vector<KeyGroup> groups) : groups_(std::move(groups)) {}  // NOLINT
  // Takes the notation after checking all of it; false with why in error.
  bool Load(const std::string& text, std::string& error);
  // Whether every group has been taken.
  bool Done() const { return next_group_ >= groups_.size() && next_ >= text_.size(); }
  // The next group; false at the end.
  bool Next(KeyGroup& group);

 private:
  std::vector<KeyGroup> groups_;  // groups given parsed, taken before the text
  size_t next_group_ = 0;         // the next of them
  std::string text_;              // the notation in Windows-1252
  size_t next_ = 0;               // where the next group starts (blanks skipped)
};

// Parses notation into groups; on a malformed text returns false and says
// why in error.
bool ParseKeyNotation(const std::string& text, std::vector<KeyGroup>& groups, std::string& error);

// Every name the notation knows, from the parser's own tables, as written
// between the angle brackets ("Enter", "Ctrl+Break"); a modifier ends with
// its plus ("Ctrl+"). The manual page and --help must name them all.
std::vector<std::string> KeyNotationNames();

}  // namespace quipular
