// The Braille display: BrlAPI key codes as the program takes them, and the
// focus line a display is given (cursor, panning, focus rows held until the
// next key, line keys, routing, Windows-1252 text, a display that goes).
#include "console/braille_display.h"

#include <brlapi_constants.h>
#include <brlapi_keycodes.h>
#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "console/braille_parts.h"
#include "console/key_codes.h"
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
      {BRLAPI_KEY_SYM_FUNCTION + 1, {I::kExtendedKey, 60}},
      {BRLAPI_KEY_SYM_FUNCTION + 11, {I::kExtendedKey, 70}},
      {BRLAPI_KEY_SYM_TAB, {I::kKey, 9}},
      {BRLAPI_KEY_SYM_FUNCTION, {I::kExtendedKey, 59}},
      {BRLAPI_KEY_SYM_LEFT, {I::kExtendedKey, 75}},
      {BRLAPI_KEY_SYM_RIGHT, {I::kExtendedKey, 77}},
      {BRLAPI_KEY_SYM_UP, {I::kExtendedKey, 72}},
      {BRLAPI_KEY_SYM_DOWN, {I::kExtendedKey, 80}},
      {BRLAPI_KEY_SYM_HOME, {I::kExtendedKey, 71}},
      {BRLAPI_KEY_SYM_END, {I::kExtendedKey, 79}},
      {BRLAPI_KEY_SYM_PAGE_UP, {I::kExtendedKey, 73}},
      {BRLAPI_KEY_SYM_PAGE_DOWN, {I::kExtendedKey, 81}},
      {BRLAPI_KEY_SYM_INSERT, {I::kExtendedKey, 82}},
      {BRLAPI_KEY_SYM_DELETE, {I::kExtendedKey, 83}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINLT, {I::kPanLeft}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINLTSKIP, {I::kPanLeft}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINRT, {I::kPanRight}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINRTSKIP, {I::kPanRight}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_LNUP, {I::kLineUp}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PRDIFLN, {I::kLineUp}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_LNDN, {I::kLineDown}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_NXDIFLN, {I::kLineDown}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_TOP, {I::kTop}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_TOP_LEFT, {I::kTop}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_BOT, {I::kBottom}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_BOT_LEFT, {I::kBottom}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_ROUTE | 12, {I::kRoute, 12}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_HOME, {}},
  };
  for (const auto& c : cases) {
    BrailleInput got = TranslateBrailleKey(c.code);
    EXPECT_EQ(got.kind, c.input.kind) << std::hex << c.code;
    EXPECT_EQ(got.value, c.input.value) << std::hex << c.code;
  }
}

// A Braille display's keyboard sends X keysyms: every one of their block of
// function and editing keys, translated, reaches every key of the list.
TEST(TranslateBrailleKey, ReachesEveryExtendedKey) {
  std::set<int> codes;
  for (uint64_t sym = 0xFF00; sym <= 0xFFFF; ++sym) {
    BrailleInput input = TranslateBrailleKey(BRLAPI_KEY_TYPE_SYM | sym);
    if (input.kind == BrailleInput::kExtendedKey) codes.insert(input.value);
  }
  for (const ExtendedKeyCodes& key : kExtendedKeys) EXPECT_TRUE(codes.count(key.code)) << key.name;
  EXPECT_EQ(codes.size(), static_cast<size_t>(kExtendedKeyCount));
}

std::wstring g_left_on_display;  // what a display showed when it was let go

// A display of 40 cells that keeps what it is given and hands out keys.
class FakeDisplay : public BrailleDevice {
 public:
  ~FakeDisplay() override { g_left_on_display = text; }
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
  bool Hung() override { return false; }
  bool Close() override { return true; }

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

// A script front-end that keeps the lines the console hands over.
class LineKeepingFrontend : public ScriptFrontend {
 public:
  LineKeepingFrontend() : ScriptFrontend({}) {}
  void Line(const std::string& text) override { lines.push_back(text); }
  std::vector<std::string> lines;
};

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

  void Press(uint64_t key) {
    device_->keys = {key};
    PollBrailleDisplay();
  }

  LineKeepingFrontend frontend_;
  FakeDisplay* device_ = nullptr;
};

constexpr uint64_t kLineUp = BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_LNUP;
constexpr uint64_t kLineDown = BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_LNDN;

// A message stays until the next key, whatever else is written or however
// long the program waits; a table row is read as one phrase; what is left on
// the display at the end is blank.
TEST_F(BrailleDisplayTest, MessagesHoldUntilTheNextKey) {
  MoveCursor(1, 12);
  ConsoleWriteMessage("ERRO 0. MATEMATICAS.");
  ConsoleWrite("Operando: 0");
  Pause(5000);
  EXPECT_EQ(Shown(), L"ERRO 0. MATEMATICAS.") << "the prompt after it waits for a key";
  MoveCursor(26, 11);
  ConsoleWrite("FIM DA CALCULADORA QUIPULAR");
  ShowMessage(11, 26);
  MoveCursor(12, 13);
  EXPECT_EQ(Shown(), L"FIM DA CALCULADORA QUIPULAR") << "the next message, from its start";
  SetBrailleFocus(14, Cp1252("N - Número de períodos - Reg. Financeiros"));
  UpdateBrailleDisplay();
  EXPECT_EQ(device_->text, L"N - N\u00famero de per\u00edodos - Reg. Financeiro");
  EXPECT_EQ(frontend_.lines,
            (std::vector<std::string>{"ERRO 0. MATEMATICAS.", "FIM DA CALCULADORA QUIPULAR",
                                      Cp1252("N - Número de períodos - Reg. Financeiros")}));
  static_cast<ScriptFrontend&>(frontend_) =
      ScriptFrontend(std::vector<KeyGroup>{{ScriptKey{ScriptKey::kBytes, "7"}}});
  ReadKey();
  EXPECT_EQ(Shown(), L"Operando: 0");
  CloseBrailleDisplay();
  EXPECT_EQ(g_left_on_display, std::wstring(40, L' ')) << "nothing of the program's is left";
}

// The line keys move through the rows that hold text, to both edges, and
// give way to the next key or focus; a narrated page is read row by row.
TEST_F(BrailleDisplayTest, LineKeysReadTheWholeScreen) {
  MoveCursor(1, 1);
  ConsoleWrite("Topo");
  MoveCursor(1, 3);
  ConsoleWrite("Linha tres " + std::string(40, '.') + " fim");
  MoveCursor(1, 24);
  ConsoleWrite("      X = 5.00     RESULTADO");
  ShowMessage(24);
  MoveCursor(1, 25);
  ConsoleWrite("Operando: ");
  const struct {
    uint64_t key;
    std::wstring shown;
  } steps[] = {
      {kLineDown, L"Operando:"},  // the last row, where the prompt is
      {kLineDown, L"Operando:"},
      {kLineUp, L"X = 5.00     RESULTADO"},
      {kLineUp, L"Linha tres " + std::wstring(29, L'.')},  // blank rows passed over
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINRT, std::wstring(11, L'.') + L" fim"},
      {kLineUp, L"Topo"},
      {kLineUp, L"Topo"},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_BOT, L"Operando:"},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_TOP, L"Topo"},
  };
  for (const auto& step : steps) {
    Press(step.key);
    EXPECT_EQ(Shown(), step.shown) << std::hex << step.key;
  }
  SetBrailleFocus(3, 1, 10);
  EXPECT_EQ(Shown(), L"Linha tres") << "a new focus brings the display back";
  static_cast<ScriptFrontend&>(frontend_) =
      ScriptFrontend(std::vector<KeyGroup>{{ScriptKey{ScriptKey::kBytes, "7"}}});
  Press(kLineUp);
  ReadKey();
  EXPECT_EQ(Shown(), L"Operando:") << "a key brings the cursor's row back";

  ClearScreen();
  frontend_.lines.clear();
  ConsoleWriteLine();
  ConsoleWriteLine(" OPERACAO QUIPULAR ");
  ConsoleWriteLine();
  ConsoleWriteLine("A Quipular trabalha em RPN");
  ConsoleWriteLine();
  ConsoleWriteLine("   Operando: 20");
  NarrateRows(3, kRows);
  EXPECT_EQ(Shown(), L"A Quipular trabalha em RPN");
  Press(kLineDown);
  EXPECT_EQ(Shown(), L"Operando: 20") << "the page's second row";
  EXPECT_EQ(frontend_.lines,
            (std::vector<std::string>{"A Quipular trabalha em RPN", "Operando: 20"}));
}

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
  EXPECT_EQ(Shown(), L"X = 8.00     RESULTADO") << "from its first cell";
  EXPECT_EQ(device_->cursor, 0) << "the cursor is on another row";
  for (int i = 0; i < kRows - 2; ++i) ConsoleWriteLine();  // one row scrolls off the top
  EXPECT_EQ(ScreenRow(1), "      X = 8.00     RESULTADO");
  EXPECT_EQ(Shown(), L"X = 8.00     RESULTADO") << "the focus follows its row up";
  ConsoleWriteLine();
  EXPECT_EQ(Shown(), L"") << "scrolled off the screen: the cursor's row again";
  ClearScreen();
  ConsoleWriteLine("A");
  SetBrailleFocus(1, 3, 10);
  ConsoleWrite("abcdefghijklmn");
  MoveCursor(1, 1);
  ConsoleWrite("__abcdefghijklmn");
  EXPECT_EQ(Shown(), L"abcdefgh") << "only the focus columns";
  static_cast<ScriptFrontend&>(frontend_) =
      ScriptFrontend(std::vector<KeyGroup>{{ScriptKey{ScriptKey::kBytes, "7"}}});
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
