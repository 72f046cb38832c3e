// The screen model: deferred wrap, scrolling, cursor clamping, control bytes,
// clearing, deleting a line, colours and the CORESFIXAS setting.
#include "console/text_console.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "console/console_notice.h"
#include "console/profile.h"
#include "console/script_frontend.h"

namespace quipular {
namespace {

class TextConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/quipular-console-XXXXXX";
    windows_ = mkdtemp(dir);
    setenv("VESTRA_WINDIR", windows_.c_str(), 1);
    ForgetProfiles();
    ResetConsole(&frontend_);
    OpenConsole();  // opening puts the cursor at the top left
  }
  void TearDown() override {
    unlink((windows_ + "/VESTRA.INI").c_str());
    rmdir(windows_.c_str());
    unsetenv("VESTRA_WINDIR");
    ForgetProfiles();
  }
  void Settings(const std::string& text) {
    std::ofstream(windows_ + "/VESTRA.INI") << text;
    ForgetProfiles();
    ResetConsole(&frontend_);
    OpenConsole();
  }
  static unsigned char Attr(int column, int row) {
    return g_console.attrs[(row - 1) * kColumns + column - 1];
  }

  std::string windows_;
  ScriptFrontend frontend_{{}};
};

TEST_F(TextConsoleTest, WrapIsDeferredUntilTheNextPrintableCharacter) {
  ConsoleWrite(std::string(80, 'a'));
  EXPECT_EQ(CursorColumn(), 81);
  EXPECT_EQ(CursorRow(), 1);
  ConsoleWrite("\r\nb");
  EXPECT_EQ(ScreenRow(2), "b");  // no blank row between
  ConsoleWrite(std::string(79, 'c'));
  ConsoleWrite("d");  // the 81st printable character of row 2
  EXPECT_EQ(ScreenRow(3), "d");
  EXPECT_EQ(CursorColumn(), 2);
}

TEST_F(TextConsoleTest, TheLastRowScrollsTheScreen) {
  for (int r = 1; r <= kRows; ++r) {
    MoveCursor(1, r);
    ConsoleWrite(std::string(1, static_cast<char>('A' + r - 1)));
  }
  MoveCursor(80, 25);
  ConsoleWrite("z");
  ConsoleWrite("!");  // wraps on row 25: scroll first
  EXPECT_EQ(ScreenRow(1), "B");
  EXPECT_EQ(ScreenRow(24), "Y" + std::string(78, ' ') + "z");
  EXPECT_EQ(ScreenRow(25), "!");
  EXPECT_EQ(CursorRow(), 25);
  ConsoleWriteLine();
  EXPECT_EQ(ScreenRow(1), "C");
  EXPECT_EQ(ScreenRow(25), "");
}

TEST_F(TextConsoleTest, MoveCursorClamps) {
  const struct {
    int column, row, want_column, want_row;
  } cases[] = {{0, 0, 1, 1}, {-5, -5, 1, 1}, {200, 99, 80, 25}, {80, 25, 80, 25}, {30, 9, 30, 9}};
  for (const auto& c : cases) {
    MoveCursor(c.column, c.row);
    EXPECT_EQ(CursorColumn(), c.want_column) << c.column << "," << c.row;
    EXPECT_EQ(CursorRow(), c.want_row) << c.column << "," << c.row;
  }
}

TEST_F(TextConsoleTest, ControlBytes) {
  ConsoleWrite("\bab\tc\x01\x1b");  // backspace at column 0, tab and others write nothing
  EXPECT_EQ(ScreenRow(1), "abc");
  EXPECT_EQ(CursorColumn(), 4);
  ConsoleWrite("\b\bX");
  EXPECT_EQ(ScreenRow(1), "aX");
  ConsoleWrite("\rY\nZ");  // CR to column 0; LF to the next row and column 0
  EXPECT_EQ(ScreenRow(1), "YX");
  EXPECT_EQ(ScreenRow(2), "Z");
  ConsoleWrite("\xe7\xe3");  // 8-bit characters are stored as they are
  EXPECT_EQ(ScreenRow(2), "Zçã");
}

TEST_F(TextConsoleTest, ClearingAndDeletingLines) {
  MoveCursor(1, 3);
  ConsoleWrite("0123456789");
  MoveCursor(5, 3);
  ClearToEndOfLine();
  EXPECT_EQ(ScreenRow(3), "0123");
  EXPECT_EQ(CursorColumn(), 5);  // the cursor stays

  MoveCursor(1, 4);
  ConsoleWrite(std::string(80, 'x'));
  ClearToEndOfLine();  // the cursor stands past the last column: nothing to clear
  EXPECT_EQ(ScreenRow(4), std::string(80, 'x'));

  MoveCursor(1, 5);
  ConsoleWrite("below");
  MoveCursor(3, 3);
  DeleteLine();  // rows below move up; the cursor row is overwritten
  EXPECT_EQ(ScreenRow(3), std::string(80, 'x'));
  EXPECT_EQ(ScreenRow(4), "below");
  EXPECT_EQ(ScreenRow(25), "");
  EXPECT_EQ(CursorRow(), 3);

  ClearScreen();
  EXPECT_EQ(ScreenText(), std::string(25, '\n'));
  EXPECT_EQ(CursorColumn(), 1);
  EXPECT_EQ(CursorRow(), 1);
}

TEST_F(TextConsoleTest, ColoursAreStoredWithEachCell) {
  SetBackgroundColour(1);
  SetTextColour(4);
  ConsoleWrite("a");
  SetTextColour(15 + 16);  // only the low four bits count
  SetBackgroundColour(0);
  ConsoleWrite("b");
  EXPECT_EQ(Attr(1, 1), 0x14);
  EXPECT_EQ(Attr(2, 1), 0x0F);
  SetBackgroundColour(2);
  ClearToEndOfLine();
  EXPECT_EQ(Attr(3, 1), 0x2F);
  EXPECT_EQ(Attr(80, 1), 0x2F);
  EXPECT_EQ(Attr(1, 2), 0x0F);
}

TEST_F(TextConsoleTest, FixedColoursIgnoreColourChanges) {
  Settings("[video]\ncoresfixas=S\ncorfundo=1\ncorletra=14\n");
  ConsoleWrite("a");
  SetTextColour(4);
  SetBackgroundColour(2);
  ConsoleWrite("b");
  EXPECT_FALSE(g_console.colours_enabled);
  EXPECT_EQ(Attr(1, 1), 0x1E);
  EXPECT_EQ(Attr(2, 1), 0x1E);

  Settings("[VIDEO]\nCORESFIXAS=n\n");
  ConsoleWrite("a");
  SetTextColour(4);
  ConsoleWrite("b");
  EXPECT_TRUE(g_console.colours_enabled);
  EXPECT_EQ(Attr(1, 1), 0x0F);
  EXPECT_EQ(Attr(2, 1), 0x04);
}

TEST_F(TextConsoleTest, VideoSettings) {
  Settings("[VIDEO]\nTABCORES=3,2,1,x,9\nLENTO=s\nCANTOTELA=NS\nAMPLIF=3\n[BRAILLE]\nMODO=3\n");
  const TextConsole& c = g_console;
  EXPECT_EQ(c.remap[0], 3);
  EXPECT_EQ(c.remap[1], 2);
  EXPECT_EQ(c.remap[2], 1);
  EXPECT_EQ(c.remap[3], 3);  // reading stops at the first item that is not a number
  EXPECT_EQ(c.remap[4], 4);
  EXPECT_TRUE(c.slow_scroll);
  EXPECT_FALSE(c.start_maximized);
  EXPECT_EQ(c.magnification, 3);
  EXPECT_EQ(c.braille_mode, 1);  // 3 is taken as 1

  Settings("");
  EXPECT_TRUE(g_console.start_maximized);
  EXPECT_FALSE(g_console.slow_scroll);
  EXPECT_EQ(g_console.magnification, 2);
  EXPECT_EQ(g_console.attribute, 0x0F);
}

TEST_F(TextConsoleTest, KeyQueueDropsWhatDoesNotFit) {
  for (int i = 0; i < 62; ++i) QueueKey('a');
  QueueExtendedKey(72);  // 62 bytes held: two places left
  EXPECT_EQ(g_console.queued, 64);
  QueueKey('b');
  EXPECT_EQ(g_console.queued, 64);

  ResetConsole(&frontend_);
  OpenConsole();
  for (int i = 0; i < 63; ++i) QueueKey('a');
  QueueExtendedKey(72);  // one place left: the whole key is dropped
  EXPECT_EQ(g_console.queued, 63);
  QueueKey('b');
  EXPECT_EQ(g_console.queue[63], 'b');
}

TEST_F(TextConsoleTest, ReadKeyTakesBytesInOrder) {
  QueueKey('5');
  QueueExtendedKey(83);
  EXPECT_TRUE(KeyPressed());
  EXPECT_EQ(ReadKey(), '5');
  EXPECT_EQ(ReadKey(), 0);
  EXPECT_EQ(ReadKey(), 83);
  EXPECT_FALSE(KeyPressed());
}

// A second window key that comes while the first one's notice is said is
// said at once, before the console sleeps waiting for the next event.
TEST_F(TextConsoleTest, ANoticePostedWhileOneIsSaidIsSaidBeforeTheNextWait) {
  struct Frontend : ScriptFrontend {
    Frontend() : ScriptFrontend({}) {}
    std::vector<std::string> events;
    void PumpEvents(int timeout_ms) override {
      events.push_back("pump " + std::to_string(timeout_ms));
      if (timeout_ms > 0) QueueKey('x');  // the user gives up waiting
    }
  } frontend;
  static Frontend* current;
  current = &frontend;
  ResetConsole(&frontend);
  OpenConsole();
  SetNoticeHandler([](int, int value) {
    current->events.push_back("say " + std::to_string(value));
    if (value == 90) PostNotice(kNoticeTextSize, 80);  // Ctrl+Minus again meanwhile
  });
  PostNotice(kNoticeTextSize, 90);
  EXPECT_EQ(ReadKey(), 'x');
  EXPECT_EQ(frontend.events, (std::vector<std::string>{"say 90", "say 80", "pump 1000"}));
  SetNoticeHandler(nullptr);
  ResetConsole(&frontend_);
}

}  // namespace
}  // namespace quipular
