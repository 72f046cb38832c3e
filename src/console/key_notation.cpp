// Key notation parser: printable characters, named keys with modifiers, groups.
#include "console/key_notation.h"

#include <cctype>
#include <cstring>

#include "console/key_codes.h"
#include "console/text_encoding.h"
#include "console/translate.h"

namespace quipular {
namespace {

// The modifiers written before a key name, with a plus.
constexpr const char* kModifiers[] = {"Ctrl", "Shift", "Alt"};

// Keys named by a word that type one code (with Ctrl, the control code of
// that key where it has one).
struct TypedKey {
  const char* name;
  unsigned char code;
  bool takes_ctrl;
};
constexpr TypedKey kTypedKeys[] = {
    {"Enter", 13, true}, {"BS", 8, true},      {"Esc", 27, false},
    {"Tab", 9, false},   {"Space", 32, false}, {"lt", '<', false},
};

// Keys a script acts on instead of queuing them, with the modifiers they
// need: Ctrl+Alt+F11 and Ctrl+Alt+F12 switch the Braille keyboard.
struct ActionKey {
  const char* name;
  bool ctrl, alt;
  ScriptKey::Kind kind;
};
constexpr ActionKey kActionKeys[] = {
    {"Break", true, false, ScriptKey::kBreak},
    {"Close", false, false, ScriptKey::kClose},
    {"Quit", false, false, ScriptKey::kQuit},
    {kExtendedKeys[kKeyF11].name, true, true, ScriptKey::kBrailleNext},
    {kExtendedKeys[kKeyF12].name, true, true, ScriptKey::kBrailleOff},
};

bool Named(const std::string& inner, ScriptKey& key, std::string& error) {
  bool held[3] = {false, false, false};  // as kModifiers
  std::string rest = inner;
  for (;;) {
    size_t plus = rest.find('+');
    if (plus == std::string::npos || plus + 1 == rest.size()) break;
    std::string mod = rest.substr(0, plus);
    int m = 0;
    while (m < 3 && mod != kModifiers[m]) ++m;
    if (m == 3) {
      error = Format(_("unknown modifier '%s' in <%s>"), mod.c_str(), inner.c_str());
      return false;
    }
    held[m] = true;
    rest = rest.substr(plus + 1);
  }
  const bool ctrl = held[0], shift = held[1], alt = held[2];
  auto bytes = [&](std::initializer_list<unsigned char> b) {
    key.bytes.assign(b.begin(), b.end());
    return true;
  };
  for (const ActionKey& a : kActionKeys)
    if (rest == a.name && ctrl == a.ctrl && alt == a.alt) return key.kind = a.kind, true;
  if (alt) {
    if (unsigned char code = rest.size() == 1 ? AltCode(rest[0]) : 0) return bytes({0, code});
    error = Format(_("<%s>: Alt goes with a letter or a digit"), inner.c_str());
    return false;
  }
  if (ExtendedKey e = ExtendedKeyNamed(rest.c_str()); e != kNoExtendedKey)
    return bytes({0, ExtendedCode(e, ctrl, shift)});
  for (const TypedKey& t : kTypedKeys)
    if (rest == t.name) return bytes({ctrl && t.takes_ctrl ? CtrlCharacter(t.code) : t.code});
  if (rest.size() == 1 && std::isalpha(static_cast<unsigned char>(rest[0]))) {
    char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(rest[0])));
    if (ctrl) {
      key.ctrl_letter = upper;
      // Ctrl+H is Backspace with Ctrl, Ctrl+M is Enter with Ctrl.
      return bytes({CtrlCharacter(static_cast<unsigned char>(upper - 'A' + 1))});
    }
    if (shift) return bytes({static_cast<unsigned char>(upper)});
  }
  error = Format(_("unknown key <%s>"), inner.c_str());
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
        error = _("'{' inside a group");
        return false;
      }
      in_group = true;
      continue;
    }
    if (c == '}') {
      if (!in_group) {
        error = _("'}' without '{'");
        return false;
      }
      ++i;
      return true;
    }
    ScriptKey key;
    if (c == '<') {
      size_t end = cp.find('>', i + 1);
      if (end == std::string::npos || end == i + 1) {
        error = _("'<' without a key name and '>' (write <lt> for the character)");
        return false;
      }
      if (!Named(cp.substr(i + 1, end - i - 1), key, error)) return false;
      i = end;
    } else if (c < 32 || c == 127) {
      error = _("control character in the key text");
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
    error = _("'{' without '}'");
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

std::vector<std::string> KeyNotationNames() {
  std::vector<std::string> names;
  for (const ExtendedKeyCodes& e : kExtendedKeys) names.push_back(e.name);
  for (const TypedKey& t : kTypedKeys) names.push_back(t.name);
  for (const ActionKey& a : kActionKeys)
    names.push_back(std::string(a.ctrl ? "Ctrl+" : "") + (a.alt ? "Alt+" : "") + a.name);
  for (const char* m : kModifiers) names.push_back(std::string(m) + "+");
  return names;
}

}  // namespace quipular
