// The Braille keyboard: chords to characters in modes 1 and 2, the number
// and capital signs, what Ctrl and other keys clear, the full queue, and the
// mode tones.
#include "console/braille_keyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/braille_parts.h"
#include "console/script_frontend.h"
#include "console/text_console.h"
#include "console/transcript.h"

namespace quipular {
namespace {

class BrailleKeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConsole(&frontend_);
    AttachBrailleParts();
    g_transcript = SpeechTranscript{};
  }
  void TearDown() override { g_transcript = SpeechTranscript{}; }

  // Steps: "FJ" presses F and J, then lets them go in the same order;
  // "+F" and "-F" press or let go one key; a leading "^" holds Ctrl for
  // the step; "_" stands for the space bar, "?" for a key that is no letter.
  static void Type(const std::vector<std::string>& steps) {
    for (std::string step : steps) {
      bool ctrl = step[0] == '^';
      if (ctrl) step.erase(0, 1);
      auto key = [](char c) { return c == '_' ? ' ' : c == '?' ? '\0' : c; };
      if (step[0] == '+') {
        if (!ctrl) BrailleKeyDown(key(step[1]));
      } else if (step[0] == '-') {
        BrailleKeyUp(key(step[1]), ctrl);
      } else {
        for (char c : step)
          if (!ctrl) BrailleKeyDown(key(c));
        for (char c : step) BrailleKeyUp(key(c), ctrl);
      }
    }
  }
  static std::string Queued() {
    return std::string(reinterpret_cast<const char*>(g_console.queue), g_console.queued);
  }

  ScriptFrontend frontend_{{}};
};

TEST_F(BrailleKeyboardTest, ChordsBecomeCharactersWhenAllKeysAreUp) {
  const struct {
    int mode;
    std::vector<std::string> steps;
    std::string typed;
  } cases[] = {
      {1, {"FJ"}, "c"},
      {1, {"F_"}, "\x01"},  // the space bar with dots: a control code
      {1, {"_"}, " "},
      {1, {"+F", "+J", "-F"}, ""},  // J is still down
      {1, {"+F", "+J", "-F", "-J"}, "c"},
      {1, {"FDSJL"}, "\xe7"},              // ç
      {1, {"SJKL", "JL"}, "#{"},           // the signs are plain cells in mode 1
      {1, {"+F", "+X", "-X", "-F"}, "a"},  // another letter within a chord
      // Fault fixes: a letter that is no chord key types nothing by itself,
      // and a chord key let go with Ctrl held does not stay down.
      {1, {"-X"}, ""},
      {1, {"+F", "^-F", "FJ"}, "c"},
      {2, {"SJKL", "F", "FD"}, "12"},
      {2, {"SJKL", "F", "FD", "FJ", "FJK", "FK", "FDJ", "FDJK", "FDK", "DJ", "DJK"}, "1234567890"},
      {2, {"SJKL", "DJK", "S", "F"}, "0.1"},
      {2, {"SJKL", "K", "F"}, "~a"},  // "~" ends the digits
      {2, {"SJKL", "F", "_", "F"}, "1 a"},
      {2, {"JL", "F", "FD"}, "Ab"},
      {2, {"JL", "JL", "F", "FD"}, "AB"},
      {2, {"JL", "JL", "F", "_", "F"}, "A a"},
      {2, {"JL", "^-X", "F"}, "a"},   // a key let go with Ctrl clears the signs
      {2, {"SJKL", "-?", "F"}, "a"},  // and so does any key that is no letter
      {2, {"JL", "SJKL", "F"}, "1"},
  };
  for (const auto& c : cases) {
    ResetConsole(&frontend_);
    AttachBrailleParts();
    g_braille.mode = c.mode;
    std::string steps;
    for (const std::string& s : c.steps) steps += s + " ";
    Type(c.steps);
    EXPECT_EQ(Queued(), c.typed) << "mode " << c.mode << ": " << steps;
  }
}

TEST_F(BrailleKeyboardTest, CellTable) {
  const std::string row0 =
      " a,b'k;l^cif\xedmsp~e:h*o!r\xac"
      "djg\xe3ntq";
  const std::string row1 =
      "\xfd\xe2?\xea-u\"v{\xee\xf5\xe0\xf3x\xe8\xe7$\xfb\xff\xfc}z=\xe1_\xf4w\xef#y\xfa\xe9";
  std::string table;
  for (int dots = 0; dots < 64; ++dots) table += static_cast<char>(BrailleCell(dots));
  EXPECT_EQ(table, row0 + row1);
}

TEST_F(BrailleKeyboardTest, AFullQueueDropsTheChord) {
  g_braille.mode = 1;
  for (int i = 0; i < kKeyQueueSize; ++i) QueueKey('5');
  Type({"FJ"});
  EXPECT_EQ(g_console.queued, kKeyQueueSize);
  EXPECT_EQ(g_console.queue[kKeyQueueSize - 1], '5');
  EXPECT_EQ(g_braille.chord, 0);
}

TEST_F(BrailleKeyboardTest, ModeTones) {
  g_transcript.enabled = true;
  SetBrailleMode(0);  // already off: silent
  SetBrailleMode(1);
  SetBrailleMode(2);
  SetBrailleMode(3);  // above 2 is 1
  EXPECT_EQ(g_braille.mode, 1);
  BrailleKeyDown('F');
  SetBrailleMode(0);
  EXPECT_EQ(g_braille.chord, 0);
  EXPECT_EQ(g_braille.held, 0);
  const std::vector<std::string> expected = {
      "tone 800", "pause 200", "tone 1600", "pause 200",  // mode 1
      "tone 800", "pause 200", "tone 400",  "pause 200",  // mode 2
      "tone 800", "pause 200", "tone 1600", "pause 200",  // mode 1 again
      "tone 100", "pause 200",                            // off
  };
  EXPECT_EQ(g_transcript.lines, expected);
}

}  // namespace
}  // namespace quipular
