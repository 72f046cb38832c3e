// Terminal key decoding: the byte forms of each key, their modifiers,
// sequences cut short or split across reads, and UTF-8.
#include "console/terminal_keys.h"

#include <gtest/gtest.h>

#include <random>

namespace quipular {
namespace {

std::string Ext(int code) {
  return std::string{'\0', static_cast<char>(code)};
}

struct Case {
  std::string input;
  std::string codes;     // what is queued
  int used = -1;         // -1: the whole input
  char ctrl_letter = 0;  // the letter taken as held with Ctrl
};

// Whole keys, decoded with no more bytes on their way.
const Case kKeys[] = {
    {"5", "5"},
    {"\r", "\r"},
    {"\n", "\n", -1, 'M'},  // Ctrl+J stands in for Ctrl+M
    {"\x7f", "\b"},
    {"\b", "\b", -1, 'H'},
    {"\t", "\t", -1, 'I'},
    {"\x14", "\x14", -1, 'T'},
    {std::string(1, '\0'), ""},
    {"\x1b", "\x1b"},
    // Cursor and editing keys in their xterm, vt220 and rxvt forms.
    {"\x1b[A", Ext(72)},
    {"\x1bOB", Ext(80)},
    {"\x1b[C", Ext(77)},
    {"\x1b[D", Ext(75)},
    {"\x1b[H", Ext(71)},
    {"\x1b[1~", Ext(71)},
    {"\x1b[7~", Ext(71)},
    {"\x1bOF", Ext(79)},
    {"\x1b[4~", Ext(79)},
    {"\x1b[8~", Ext(79)},
    {"\x1b[5~", Ext(73)},
    {"\x1b[6~", Ext(81)},
    {"\x1b[2~", Ext(82)},
    {"\x1b[3~", Ext(83)},
    {"\x1b[a", Ext(72)},  // rxvt Shift+Up: Shift changes nothing
    // Ctrl, Shift and Alt.
    {"\x1b[1;5A", Ext(113)},
    {"\x1b[1;5B", Ext(114)},
    {"\x1b[1;5D", Ext(115)},
    {"\x1b[1;5C", Ext(116)},
    {"\x1b[1;5H", Ext(119)},
    {"\x1b[1;5F", Ext(117)},
    {"\x1b[5;5~", Ext(132)},
    {"\x1b[6;5~", Ext(118)},
    {"\x1b[3;5~", Ext(83)},
    {"\x1b[2;2~", Ext(254)},
    {"\x1b[2;5~", Ext(255)},
    {"\x1b[2;6~", Ext(255)},  // Ctrl+Shift+Ins: Ctrl wins
    {"\x1b[2$", Ext(254)},    // rxvt Shift
    {"\x1b[2^", Ext(255)},    // rxvt Ctrl
    {"\x1bOa", Ext(113)},     // rxvt Ctrl+Up
    {"\x1b[1;3C", Ext(77)},   // Alt+Right is queued as Right
    {"\x1b[1;3A", ""},        // Alt+Up belongs to the system
    {"\x1b[1;7A", Ext(113)},  // Ctrl+Alt+Up
    // Function keys.
    {"\x1bOP", Ext(59)},
    {"\x1bOS", Ext(62)},
    {"\x1b[11~", Ext(59)},
    {"\x1b[[A", Ext(59)},  // Linux console
    {"\x1b[[E", Ext(63)},
    {"\x1b[15~", Ext(63)},
    {"\x1b[17~", Ext(64)},
    {"\x1b[21~", Ext(68)},
    {"\x1b[23~", Ext(69)},
    {"\x1b[24~", Ext(70)},
    {"\x1b[1;5P", Ext(94)},
    {"\x1bO5P", Ext(94)},
    {"\x1b[24;5~", Ext(105)},
    {"\x1b[1;2P", Ext(59)},
    {"\x1b[23;7~", ""},  // Ctrl+Alt+F11 switches the Braille keyboard, not here
    {"\x1b[25~", ""},
    // Alt with letters and digits; Esc before anything else stays Esc.
    {"\x1b"
     "a",
     Ext(30)},
    {"\x1b"
     "A",
     Ext(30)},
    {"\x1bz", Ext(44)},
    {"\x1b"
     "0",
     Ext(129)},
    {"\x1b"
     "9",
     Ext(128)},
    {"\x1b.", "\x1b", 1},
    {"\x1b\x1b", "\x1b", 1},
    {"\x1b[", "\x1b", 1},
    {"\x1bO", Ext(24)},
    // Keypad in application mode, Shift+Tab.
    {"\x1bOM", "\r"},
    {"\x1bOk", "+"},
    {"\x1bOm", "-"},
    {"\x1bOp", "0"},
    {"\x1bOy", "9"},
    {"\x1b[Z", "\t"},
    // Keys with their modifiers reported in full.
    {"\x1b[13;5u", "\n"},
    {"\x1b[27;5;13~", "\n"},
    {"\x1b[127;5u", "\x7f"},
    {"\x1b[109;5u", "\n", -1, 'M'},
    {"\x1b[104;5u", "\x7f", -1, 'H'},
    {"\x1b[116;5u", "\x14", -1, 'T'},
    {"\x1b[97;3u", Ext(30)},
    {"\x1b[97u", "a"},
    // Replies, unknown and broken sequences are dropped whole.
    {"\x1b[?1;2c", ""},
    {"\x1b[1;5", "", 5},
    {"\x1b[1\x01", "", 3},
    {"\x1b[" + std::string(40, '1') + "~", "", 32},
    // Only the first key is taken.
    {"\x1b[Ax", Ext(72), 3},
    {"ab", "a", 1},
    // UTF-8 to Windows-1252.
    {"\xc3\xa9", "\xe9"},
    {"\xc3\x87", "\xc7"},
    {"\xe2\x82\xac", "\x80"},
    {"\xe4\xb8\xad", ""},
    {"\xf0\x9f\x98\x80", ""},
    {"\xc3", "", 1},
    {"\xc3"
     "A",
     "", 1},
    {"\x80", "", 1},
    {"\xff", "", 1},
};

TEST(TerminalKeys, DecodesEachKey) {
  for (const Case& c : kKeys) {
    SCOPED_TRACE(testing::PrintToString(c.input));
    TerminalKey k = DecodeTerminalKey(c.input, true);
    EXPECT_EQ(k.kind, TerminalKey::kCodes);
    EXPECT_EQ(k.used, c.used < 0 ? static_cast<int>(c.input.size()) : c.used);
    EXPECT_EQ(k.codes, c.codes);
    EXPECT_EQ(k.ctrl_letter, c.ctrl_letter);
  }
}

// A key split across reads waits for the rest while more may come.
TEST(TerminalKeys, WaitsForTheRestOfAKey) {
  for (const Case& c : kKeys) {
    if (c.used >= 0 || c.input.size() < 2) continue;
    for (size_t n = 1; n < c.input.size(); ++n) {
      std::string prefix = c.input.substr(0, n);
      SCOPED_TRACE(testing::PrintToString(prefix));
      EXPECT_EQ(DecodeTerminalKey(prefix, false).kind, TerminalKey::kNeedMore);
    }
  }
  EXPECT_EQ(DecodeTerminalKey("", false).kind, TerminalKey::kNeedMore);
}

TEST(TerminalKeys, CtrlCIsBreak) {
  for (std::string input : {"\x03", "\x03x", "\x1b[99;5u"}) {
    TerminalKey k = DecodeTerminalKey(input, true);
    EXPECT_EQ(k.kind, TerminalKey::kBreak) << testing::PrintToString(input);
  }
}

// Whatever arrives, every complete decode takes at least one byte and queues
// one code or an extended key, so the reader never stalls or queues a stray 0.
TEST(TerminalKeys, AnyBytesMakeProgress) {
  std::mt19937 random(1234);
  const std::string alphabet = "\x1b[O;0123456789~ABCDHPu^$a\x7f\xc3\xa9\xe2\x82";
  for (int round = 0; round < 20000; ++round) {
    std::string input;
    int length = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < length; ++i)
      input +=
          random() % 4 ? alphabet[random() % alphabet.size()] : static_cast<char>(random() % 256);
    SCOPED_TRACE(testing::PrintToString(input));
    for (bool complete : {true, false}) {
      TerminalKey k = DecodeTerminalKey(input, complete);
      if (k.kind == TerminalKey::kNeedMore) {
        ASSERT_FALSE(complete);
        continue;
      }
      ASSERT_GE(k.used, 1);
      ASSERT_LE(k.used, static_cast<int>(input.size()));
      ASSERT_LE(k.codes.size(), 2u);
      if (k.codes.size() == 2) {
        ASSERT_EQ(k.codes[0], '\0');
      } else if (k.codes.size() == 1) {
        ASSERT_NE(k.codes[0], '\0');
      }
    }
  }
}

}  // namespace
}  // namespace quipular
