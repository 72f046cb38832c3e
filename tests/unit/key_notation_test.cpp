// Key notation: the codes each key queues, the letter held with Ctrl, groups
// typed ahead, and the texts that are refused.
#include "console/key_notation.h"

#include <gtest/gtest.h>

namespace quipular {
namespace {

std::string Ext(int code) {
  return std::string{'\0', static_cast<char>(code)};
}

TEST(KeyNotation, CodesOfEachKey) {
  const struct {
    const char* text;
    std::string bytes;
    char ctrl_letter = 0;
  } cases[] = {
      {"5", "5"},
      {"<lt>", "<"},
      {">", ">"},
      {"<Enter>", "\r"},
      {"<Ctrl+Enter>", "\n"},
      {"<Ctrl+M>", "\n", 'M'},
      {"<BS>", "\b"},
      {"<Ctrl+BS>", "\x7f"},
      {"<Ctrl+H>", "\x7f", 'H'},
      {"<Esc>", "\x1b"},
      {"<Tab>", "\t"},
      {"<Space>", " "},
      {"<Ctrl+X>", "\x18", 'X'},
      {"<Ctrl+t>", "\x14", 'T'},
      {"<Shift+e>", "E"},
      {"ç", "\xe7"},
      {"<F1>", Ext(59)},
      {"<Shift+F1>", Ext(59)},
      {"<Ctrl+F1>", Ext(94)},
      {"<F12>", Ext(70)},
      {"<Ctrl+F12>", Ext(105)},
      {"<Ins>", Ext(82)},
      {"<Shift+Ins>", Ext(254)},
      {"<Ctrl+Ins>", Ext(255)},
      {"<Del>", Ext(83)},
      {"<Ctrl+Del>", Ext(83)},
      {"<Up>", Ext(72)},
      {"<Ctrl+Up>", Ext(113)},
      {"<Down>", Ext(80)},
      {"<Left>", Ext(75)},
      {"<Right>", Ext(77)},
      {"<PgUp>", Ext(73)},
      {"<Ctrl+PgUp>", Ext(132)},
      {"<Ctrl+PgDn>", Ext(118)},
      {"<Home>", Ext(71)},
      {"<Ctrl+End>", Ext(117)},
      {"<Alt+A>", Ext(30)},
      {"<Alt+z>", Ext(44)},
      {"<Alt+0>", Ext(129)},
      {"<Alt+9>", Ext(128)},
  };
  for (const auto& c : cases) {
    std::vector<KeyGroup> groups;
    std::string error;
    ASSERT_TRUE(ParseKeyNotation(c.text, groups, error)) << c.text << ": " << error;
    ASSERT_EQ(groups.size(), 1u) << c.text;
    ASSERT_EQ(groups[0].size(), 1u) << c.text;
    const ScriptKey& key = groups[0][0];
    EXPECT_EQ(key.kind, ScriptKey::kBytes) << c.text;
    EXPECT_EQ(key.bytes, c.bytes) << c.text;
    EXPECT_EQ(key.ctrl_letter, c.ctrl_letter) << c.text;
  }
}

TEST(KeyNotation, GroupsAndEvents) {
  std::vector<KeyGroup> groups;
  std::string error;
  ASSERT_TRUE(ParseKeyNotation(
      "1 2\n{3<Enter>+} <Ctrl+Break><Close><Quit><Ctrl+Alt+F11><Ctrl+Alt+F12>", groups, error))
      << error;
  ASSERT_EQ(groups.size(), 8u);
  EXPECT_EQ(groups[0][0].bytes, "1");
  EXPECT_EQ(groups[1][0].bytes, "2");
  ASSERT_EQ(groups[2].size(), 3u);
  EXPECT_EQ(groups[2][1].bytes, "\r");
  EXPECT_EQ(groups[3][0].kind, ScriptKey::kBreak);
  EXPECT_EQ(groups[4][0].kind, ScriptKey::kClose);
  EXPECT_EQ(groups[5][0].kind, ScriptKey::kQuit);
  EXPECT_EQ(groups[6][0].kind, ScriptKey::kBrailleNext);
  EXPECT_EQ(groups[7][0].kind, ScriptKey::kBrailleOff);

  groups.clear();
  ASSERT_TRUE(ParseKeyNotation("", groups, error));
  EXPECT_TRUE(groups.empty());
}

TEST(KeyNotation, MalformedTextsAreRefused) {
  for (const char* text : {"<", "<>", "<Enter", "<enter>", "<Foo>", "<Hyper+A>", "<Alt+F1>",
                           "<Break>", "{1", "1}", "{{1}}", "<Shift+5>", "a\x01"}) {
    std::vector<KeyGroup> groups;
    std::string error;
    EXPECT_FALSE(ParseKeyNotation(text, groups, error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
}

}  // namespace
}  // namespace quipular
