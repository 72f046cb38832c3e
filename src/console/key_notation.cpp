// Key notation parser: printable characters, named keys with modifiers, groups.
#include "console/key_notation.h"

#include <cctype>
#include <cstring>

#include "console/text_console.h"
#include "console/text_encoding.h"

namespace quipular {
namespace {

struct Extended {
  const char* name;
  unsigned char code;
  unsigned char ctrl_code;
};

// Extended keys: the plain code and the code with Ctrl held.
constexpr Extended kExtended[] = {
    {"F1", 59, 94},    {"F2", 60, 95},     {"F3", 61, 96},    {"F4", 62, 97},  {"F5", 63, 98},
    {"F6", 64, 99},    {"F7", 65, 100},    {"F8", 66, 101},   {"F9", 67, 102}, {"F10", 68, 103},
    {"F11", 69, 104},  {"F12", 70, 105},   {"Ins", 82, 255},  {"Del", 83, 83}, {"Home", 71, 119},
    {"End", 79, 117},  {"PgUp", 73, 132},  {"PgDn", 81, 118}, {"Up", 72, 113}, {"Down", 80, 114},
    {"Left", 75, 115}, {"Right", 77, 116},
};

// Alt codes of the letters A to Z and the digits 0 to 9.
constexpr unsigned char kAltLetter[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                          49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
constexpr unsigned char kAltDigit[10] = {129, 120, 121, 122, 123, 124, 125, 126, 127, 128};

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
  if (alt) {
    if (rest.size() == 1 && std::isalpha(static_cast<unsigned char>(rest[0])))
      return bytes({0, kAltLetter[std::toupper(static_cast<unsigned char>(rest[0])) - 'A']});
    if (rest.size() == 1 && std::isdigit(static_cast<unsigned char>(rest[0])))
      return bytes({0, kAltDigit[rest[0] - '0']});
    error = "<" + inner + ">: Alt goes with a letter or a digit";
    return false;
  }
  for (const Extended& e : kExtended) {
    if (rest != e.name) continue;
    if (rest == "Ins" && shift && !ctrl) return bytes({0, kShiftIns});
    return bytes({0, ctrl ? e.ctrl_code : e.code});
  }
  if (rest == "Enter") return bytes({static_cast<unsigned char>(ctrl ? 10 : 13)});
  if (rest == "BS") return bytes({static_cast<unsigned char>(ctrl ? 127 : 8)});
  if (rest == "Esc") return bytes({27});
  if (rest == "Tab") return bytes({9});
  if (rest == "Space") return bytes({32});
  if (rest == "lt") return bytes({'<'});
  if (rest.size() == 1 && std::isalpha(static_cast<unsigned char>(rest[0]))) {
    char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(rest[0])));
    if (ctrl) {
      key.ctrl_letter = upper;
      // Ctrl+H is Backspace with Ctrl, Ctrl+M is Enter with Ctrl.
      if (upper == 'H') return bytes({127});
      if (upper == 'M') return bytes({10});
      return bytes({static_cast<unsigned char>(upper - 'A' + 1)});
    }
    if (shift) return bytes({static_cast<unsigned char>(upper)});
  }
  error = "unknown key <" + inner + ">";
  return false;
}

}  // namespace

bool ParseKeyNotation(const std::string& text, std::vector<KeyGroup>& groups, std::string& error) {
  std::string cp = Cp1252(text);
  bool in_group = false;
  for (size_t i = 0; i < cp.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(cp[i]);
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    if (c == '{') {
      if (in_group) {
        error = "'{' inside a group";
        return false;
      }
      in_group = true;
      groups.emplace_back();
      continue;
    }
    if (c == '}') {
      if (!in_group) {
        error = "'}' without '{'";
        return false;
      }
      in_group = false;
      continue;
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
    if (!in_group) groups.emplace_back();
    groups.back().push_back(key);
  }
  if (in_group) {
    error = "'{' without '}'";
    return false;
  }
  return true;
}

}  // namespace quipular
