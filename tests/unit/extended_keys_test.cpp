// The one list of extended keys against everything that types or reads
// them: each key's codes are told apart from every other code, and each key
// can be typed in key notation, in a terminal and in the window, plain and
// (where the input can say so) with Ctrl. The Braille display's keyboard is
// checked beside its other keys.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "console/key_codes.h"
#include "console/key_notation.h"
#include "console/sdl_keys.h"
#include "console/terminal_keys.h"

namespace quipular {
namespace {

std::vector<ExtendedKey> AllKeys() {
  std::vector<ExtendedKey> keys;
  for (int k = 0; k < kExtendedKeyCount; ++k) keys.push_back(static_cast<ExtendedKey>(k));
  return keys;
}

// The prompt, the menu and the key test find a key by the code read after
// 0, so no code may stand for two keys: the plain codes, the Ctrl codes,
// Shift+Insert and the Alt codes are all apart (Ctrl+Del keeps Del's code).
TEST(ExtendedKeys, EveryCodeNamesOneKey) {
  std::set<unsigned char> plain, other;
  for (ExtendedKey key : AllKeys()) {
    const ExtendedKeyCodes& codes = kExtendedKeys[key];
    EXPECT_TRUE(plain.insert(codes.code).second) << codes.name;
    EXPECT_EQ(ExtendedKeyOfCode(codes.code), key) << codes.name;
    EXPECT_EQ(ExtendedKeyNamed(codes.name), key) << codes.name;
    if (codes.ctrl_code != codes.code) {
      EXPECT_TRUE(other.insert(codes.ctrl_code).second) << "Ctrl+" << codes.name;
    }
  }
  EXPECT_TRUE(other.insert(kShiftInsertCode).second);
  for (char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"))
    EXPECT_TRUE(other.insert(AltCode(c)).second) << "Alt+" << c;
  for (unsigned char code : other) {
    EXPECT_EQ(plain.count(code), 0u) << int(code);
    EXPECT_EQ(ExtendedKeyOfCode(code), kNoExtendedKey) << int(code);
  }
  EXPECT_EQ(ExtendedKeyNamed("F13"), kNoExtendedKey);
  for (int n = 1; n <= 12; ++n)
    EXPECT_EQ(kExtendedKeys[FunctionKey(n)].name, "F" + std::to_string(n));
}

std::string Ext(unsigned char code) {
  return std::string{'\0', static_cast<char>(code)};
}

TEST(ExtendedKeys, KeyNotationNamesEachKey) {
  for (ExtendedKey key : AllKeys()) {
    const ExtendedKeyCodes& codes = kExtendedKeys[key];
    const std::string name = codes.name;
    std::vector<KeyGroup> groups;
    std::string error;
    ASSERT_TRUE(ParseKeyNotation("<" + name + "><Ctrl+" + name + ">", groups, error)) << error;
    ASSERT_EQ(groups.size(), 2u) << name;
    EXPECT_EQ(groups[0][0].bytes, Ext(codes.code)) << name;
    EXPECT_EQ(groups[1][0].bytes, Ext(codes.ctrl_code)) << name;
  }
}

// Every sequence of the common forms a terminal sends for a key that is not
// a character, decoded: the extended codes they give.
std::set<unsigned char> TerminalCodes() {
  std::vector<std::string> sequences;
  for (const char* modifier : {"", ";5"}) {
    for (int n = 1; n <= 34; ++n) sequences.push_back("\x1b[" + std::to_string(n) + modifier + "~");
    for (char final = 'A'; final <= 'Z'; ++final) {
      sequences.push_back(std::string("\x1b[1") + modifier + final);
      sequences.push_back(std::string("\x1bO") + (*modifier ? "5" : "") + final);
    }
  }
  std::set<unsigned char> codes;
  for (const std::string& s : sequences) {
    TerminalKey key = DecodeTerminalKey(s, true);
    EXPECT_EQ(key.used, static_cast<int>(s.size()));
    if (key.codes.size() == 2 && key.codes[0] == '\0')
      codes.insert(static_cast<unsigned char>(key.codes[1]));
  }
  return codes;
}

TEST(ExtendedKeys, EachCanBeTypedInATerminal) {
  std::set<unsigned char> codes = TerminalCodes();
  std::set<unsigned char> listed;
  for (ExtendedKey key : AllKeys()) {
    const ExtendedKeyCodes& c = kExtendedKeys[key];
    EXPECT_TRUE(codes.count(c.code)) << c.name;
    EXPECT_TRUE(codes.count(c.ctrl_code)) << "Ctrl+" << c.name;
    listed.insert({c.code, c.ctrl_code});
  }
  // And the terminal gives no extended code that is not in the list.
  for (unsigned char code : codes) EXPECT_TRUE(listed.count(code)) << int(code);
}

TEST(ExtendedKeys, EachCanBeTypedInTheWindow) {
  std::set<ExtendedKey> main, keypad;
  std::set<SDL_Keycode> syms;
  for (const SdlKey& k : kSdlKeys) {
    EXPECT_TRUE(syms.insert(k.sym).second) << "a key twice in the table: " << k.sym;
    WindowKey key = SdlWindowKey(k.sym, false);
    EXPECT_EQ(key.kind, k.key.kind);
    EXPECT_EQ(key.extended, k.key.extended);
    if (key.kind == WindowKey::kExtended) (k.keypad ? keypad : main).insert(key.extended);
    // With Num Lock on, the keypad types no extended key.
    if (k.keypad) {
      EXPECT_NE(SdlWindowKey(k.sym, true).kind, WindowKey::kExtended) << k.sym;
    }
  }
  EXPECT_EQ(main.size(), static_cast<size_t>(kExtendedKeyCount));
  // The keypad moves the cursor and edits like the keys beside it.
  for (ExtendedKey key : keypad) EXPECT_GE(key, kKeyIns) << kExtendedKeys[key].name;
  EXPECT_EQ(keypad.size(), static_cast<size_t>(kExtendedKeyCount - kKeyIns));
}

}  // namespace
}  // namespace quipular
