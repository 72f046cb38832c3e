// Key notation parser: printable characters, named keys with modifiers, groups.
#include "console/key_notation.h"

#include <cctype>
#include <cstring>

#include "console/key_codes.h"
#include "console/text_encoding.h"

namespace quipular {
namespace {

bool Named(const std::string& inner, ScriptKey& key, std::string& error) {
  bool ctrl = false, shift = false, alt = false;
  std::string rest = inner;
  for (;;) {
    size_t plus = rest.find('+');
    if (plus == std::string::npos || plus + 1 == rest.size()) break;
    std::string mod = rest.substr(0, plus);
    if (mod == "Ctrl")
      ctrl = true;
    else if (mod == "Shift")
      shift = true;
    else if (mod == "Alt")
      alt = true;
    else {
      error = "unknown modifier '" + mod + "' in <" + inner + ">";
      return false;
    }
    rest = rest.substr(plus + 1);
  }
  auto bytes = [&](std::initializer_list<unsigned char> b) {
    key.bytes.assign(b.begin(), b.end());
    return true;
  };
  if (rest == "Break" && ctrl) return key.kind = ScriptKey::kBreak, true;
  if (rest == "Close" && !ctrl && !alt) return key.kind = ScriptKey::kClose, true;
  if (rest == "Quit" && !ctrl && !alt) return key.kind = ScriptKey::kQuit, true;
  // Ctrl+Alt+F11 and Ctrl+Alt+F12 switch the Braille keyboard.
  if (alt && ctrl && rest == "F11") return key.kind = ScriptKey::kBrailleNext, true;
  if (alt && ctrl && rest == "F12") return key.kind = ScriptKey::kBrailleOff, true;
  if (alt) {
    if (unsigned char code = rest.size() == 1 ? AltCode(rest[0]) : 0) return bytes({0, code});
    error = "<" + inner + ">: Alt goes with a letter or a digit";
    return false;
  }
  if (ExtendedKey e = ExtendedKeyNamed(rest.c_str()); e != kNoExtendedKey)
    return bytes({0, ExtendedCode(e, ctrl, shift)});
  auto typed = [&](unsigned char c) { return bytes({ctrl ? CtrlCharacter(c) : c}); };
  if (rest == "Enter") return typed(13);
  if (rest == "BS") return typed(8);
  if (rest == "Esc") return bytes({27});
  if (rest == "Tab") return bytes({9});
  if (rest == "Space") return bytes({32});
  if (rest == "lt") return bytes({'<'});
  if (rest.size() == 1 && std::isalpha(static_cast<unsigned char>(rest[0]))) {
    char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(rest[0])));
    if (ctrl) {
      key.ctrl_letter = upper;
      // Ctrl+H is Backspace with Ctrl, Ctrl+M is Enter with Ctrl.
      return typed(static_cast<unsigned char>(upper - 'A' + 1));
    }
    if (shift) return bytes({static_cast<unsigned char>(upper)});
  }
  error = "unknown key <" + inner + ">";
  return false;
}

}  // namespace

namespace {

bool Blank(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

size_t SkipBlanks(const std::string& cp, size_t i) {
  while (i < cp.size() && Blank(static_cast<unsigned char>(cp[i]))) ++i;
  return i;
}

// Parses the group that starts at i (blanks skipped) into group and moves i
// past it; false on a malformed text, with why in error.
bool ParseGroup(const std::string& cp, size_t& i, KeyGroup& group, std::string& error) {
  group.clear();
  bool in_group = false;
  for (; i < cp.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(cp[i]);
    if (Blank(c)) continue;
    if (c == '{') {
      if (in_group) {
        error = "'{' inside a group";
        return false;
      }
      in_group = true;
      continue;
    }
    if (c == '}') {
      if (!in_group) {
        error = "'}' without '{'";
        return false;
      }
      ++i;
      return true;
    }
    ScriptKey key;
    if (c == '<') {
      size_t end = cp.find('>', i + 1);
      if (end == std::string::npos || end == i + 1) {
        error = "'<' without a key name and '>' (write <lt> for the character)";
        return false;
      }
      if (!Named(cp.substr(i + 1, end - i - 1), key, error)) return false;
      i = end;
    } else if (c < 32 || c == 127) {
      error = "control character in the key text";
      return false;
    } else {
      key.bytes.assign(1, static_cast<char>(c));
    }
    group.push_back(std::move(key));
    if (!in_group) {
      ++i;
      return true;
    }
  }
  if (in_group) {
    error = "'{' without '}'";
    return false;
  }
  return true;
}

}  // namespace

bool KeyScript::Load(const std::string& text, std::string& error) {
  text_ = Cp1252(text);
  next_ = SkipBlanks(text_, 0);
  KeyGroup group;
  for (size_t i = next_; (i = SkipBlanks(text_, i)) < text_.size();)
    if (!ParseGroup(text_, i, group, error)) {
      text_.clear();
      next_ = 0;
      return false;
    }
  return true;
}

bool KeyScript::Next(KeyGroup& group) {
  if (Done()) return false;
  if (next_group_ < groups_.size()) {
    group = groups_[next_group_++];
    return true;
  }
  std::string error;  // the text was checked whole when it was loaded
  if (!ParseGroup(text_, next_, group, error)) {
    next_ = text_.size();
    return false;
  }
  next_ = SkipBlanks(text_, next_);
  return true;
}

bool ParseKeyNotation(const std::string& text, std::vector<KeyGroup>& groups, std::string& error) {
  KeyScript script;
  if (!script.Load(text, error)) return false;
  KeyGroup group;
  while (script.Next(group)) groups.push_back(std::move(group));
  return true;
}

}  // namespace quipular
