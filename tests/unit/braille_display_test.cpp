// The Braille display: BrlAPI key codes as the program takes them, and the
// focus line a display is given (cursor, panning, focus rows held until the
// next key, line keys, routing, Windows-1252 text, a display that goes).
#include "console/braille_display.h"

#include <brlapi_constants.h>
#include <brlapi_keycodes.h>
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "console/braille_parts.h"
#include "console/script_frontend.h"
#include "console/text_console.h"
#include "console/text_encoding.h"

namespace quipular {
namespace {

TEST(TranslateBrailleKey, KeysOfTheDisplay) {
  using I = BrailleInput;
  const struct {
    uint64_t code;
    BrailleInput input;
  } cases[] = {
      {'7', {I::kKey, '7'}},
      {0x0D, {I::kKey, 13}},  // a typed Enter
      {0x7F, {I::kKey, 8}},   // a typed Backspace
      {0x1B, {I::kKey, 27}},
      {BRLAPI_KEY_SYM_LINEFEED, {I::kKey, 13}},
      {BRLAPI_KEY_SYM_BACKSPACE, {I::kKey, 8}},
      {BRLAPI_KEY_SYM_ESCAPE, {I::kKey, 27}},
      {BRLAPI_KEY_SYM_UNICODE | 0xE7, {I::kKey, 0xE7}},    // ç
      {BRLAPI_KEY_SYM_UNICODE | 0x20AC, {I::kKey, 0x80}},  // the euro sign's byte
      {BRLAPI_KEY_SYM_UNICODE | 0x3B1, {}},                // no Windows-1252 byte
      {0xE9, {I::kKey, 0xE9}},                             // Latin-1 é
      {0x85, {}},                                          // a C1 control
      {BRLAPI_KEY_FLG_CONTROL | 'a', {I::kKey, 1}},
      {BRLAPI_KEY_SYM_FUNCTION + 1, {I::kExtendedKey, kF1 + 1}},
      {BRLAPI_KEY_SYM_FUNCTION + 11, {I::kExtendedKey, kF12}},
      {BRLAPI_KEY_SYM_DOWN, {I::kExtendedKey, kDown}},
      {BRLAPI_KEY_SYM_DELETE, {I::kExtendedKey, kDel}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINLT, {I::kPanLeft}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINRT, {I::kPanRight}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_LNUP, {I::kLineUp}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_LNDN, {I::kLineDown}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_ROUTE | 12, {I::kRoute, 12}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_HOME, {}},
  };
  for (const auto& c : cases) {
    BrailleInput got = TranslateBrailleKey(c.code);
    EXPECT_EQ(got.kind, c.input.kind) << std::hex << c.code;
    EXPECT_EQ(got.value, c.input.value) << std::hex << c.code;
  }
}

// A display of 40 cells that keeps what it is given and hands out keys.
class FakeDisplay : public BrailleDevice {
 public:
  int Width() override { return 40; }
  bool Write(const std::wstring& text, int cursor) override {
    if (fail) return false;
    this->text = text;
    this->cursor = cursor;
    ++writes;
    return true;
  }
  int ReadKey(uint64_t& code) override {
    if (fail) return -1;
    if (keys.empty()) return 0;
    code = keys.front();
    keys.pop_front();
    return 1;
  }
  std::string Error() override { return "gone"; }

  std::wstring text;
  int cursor = -1;
  int writes = 0;
  bool fail = false;
  std::deque<uint64_t> keys;
};

std::vector<unsigned char> g_said;
void Say(unsigned char c) {
  g_said.push_back(c);
}

class BrailleDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConsole(&frontend_);
    AttachBrailleParts();
    OpenConsole();
    device_ = new FakeDisplay;  // the display owns it
    g_braille_display = BrailleDisplay{};
    g_braille_display.device = device_;
    g_braille_display.width = 40;
    g_said.clear();
  }
  void TearDown() override {
    if (g_braille_display.device) CloseBrailleDisplay();
  }
  std::wstring Shown() {
    UpdateBrailleDisplay();
    std::wstring t = device_->text;
    return t.erase(t.find_last_not_of(L' ') + 1);
  }

  ScriptFrontend frontend_{{}};
  FakeDisplay* device_ = nullptr;
};

TEST_F(BrailleDisplayTest, TheCursorRowWithItsCursorPannedToHoldIt) {
  ConsoleWrite("Operando: 12.5");
  EXPECT_EQ(Shown(), L"Operando: 12.5");
  EXPECT_EQ(device_->cursor, 15);
  int writes = device_->writes;
  UpdateBrailleDisplay();
  EXPECT_EQ(device_->writes, writes) << "an unchanged line is not written again";
  ConsoleWrite(std::string(40, 'x'));  // the cursor goes to column 55
  EXPECT_EQ(Shown(), std::wstring(14, L'x'));
  EXPECT_EQ(device_->cursor, 15);  // column 55 in the window from 41
  // The panning keys move the window until the cursor moves again.
  device_->keys = {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINLT};
  PollBrailleDisplay();
  EXPECT_EQ(Shown(), L"Operando: 12.5" + std::wstring(26, L'x'));
  EXPECT_EQ(device_->cursor, 0);
  device_->keys = {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINLT};
  PollBrailleDisplay();
  EXPECT_EQ(Shown(), L"Operando: 12.5" + std::wstring(26, L'x')) << "nothing left of column 1";
  ConsoleWrite("y");
  EXPECT_EQ(Shown(), std::wstring(14, L'x') + L"y");
}

TEST_F(BrailleDisplayTest, AFocusRowHoldsUntilTheNextKeyAndFollowsScrolling) {
  ConsoleWriteLine();
  ConsoleWriteLine("      X = 8.00     RESULTADO");
  SetBrailleFocus(2);
  ConsoleWrite("Operando: ");
  EXPECT_EQ(Shown(), L"      X = 8.00     RESULTADO");
  EXPECT_EQ(device_->cursor, 0) << "the cursor is on another row";
  for (int i = 0; i < kRows - 2; ++i) ConsoleWriteLine();  // one row scrolls off the top
  EXPECT_EQ(ScreenRow(1), "      X = 8.00     RESULTADO");
  EXPECT_EQ(Shown(), L"      X = 8.00     RESULTADO") << "the focus follows its row up";
  ConsoleWriteLine();
  EXPECT_EQ(Shown(), L"") << "scrolled off the screen: the cursor's row again";
  ClearScreen();
  ConsoleWriteLine("A");
  SetBrailleFocus(1, 3, 10);
  ConsoleWrite("abcdefghijklmn");
  MoveCursor(1, 1);
  ConsoleWrite("__abcdefghijklmn");
  EXPECT_EQ(Shown(), L"abcdefgh") << "only the focus columns";
  frontend_ = ScriptFrontend({{ScriptKey{ScriptKey::kBytes, "7"}}});
  ReadKey();
  EXPECT_EQ(Shown(), L"__abcdefghijklmn") << "the cursor's row again after the key";
}

TEST_F(BrailleDisplayTest, LineKeysRoutingAndKeysFromTheDisplay) {
  ConsoleWriteLine(Cp1252("Juros: ação €"));
  ConsoleWrite("Operando: 5");
  device_->keys = {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_LNUP,
                   BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_LNUP};  // the top row stops it
  PollBrailleDisplay();
  EXPECT_EQ(Shown(), L"Juros: a\u00e7\u00e3o \u20ac") << "Windows-1252 shown as Unicode";
  SetRoutingHandler(&Say);
  device_->keys = {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_ROUTE | 8, '9', BRLAPI_KEY_SYM_LINEFEED};
  EXPECT_EQ(ReadKey(), '9');
  EXPECT_EQ(g_said, std::vector<unsigned char>{0xE7}) << "the routed character, said";
  EXPECT_EQ(ReadKey(), 13);
  EXPECT_EQ(Shown(), L"Operando: 5") << "a key brings the cursor's row back";
}

TEST_F(BrailleDisplayTest, ADisplayThatGoesIsGivenUp) {
  ConsoleWrite("Operando: 1");
  device_->fail = true;
  PollBrailleDisplay();
  EXPECT_EQ(g_braille_display.device, nullptr);
  ConsoleWrite("2");
  UpdateBrailleDisplay();  // and nothing more is tried
}

}  // namespace
}  // namespace quipular
