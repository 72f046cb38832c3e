// The window front-end on a fake window: the key codes of key-downs,
// characters and key-ups, Ctrl letters told apart after waiting in the
// queue, Braille chords and mode keys, drawing only what changed in runs of
// equal attribute, the caret, slow scrolling, the magnifier, the ways out
// and the tone.
#include "console/window_frontend.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "console/braille_keyboard.h"
#include "console/braille_parts.h"
#include "console/console_notice.h"
#include "console/magnifier.h"
#include "console/profile.h"
#include "console/program_exit.h"
#include "console/text_console.h"
#include "console/text_size.h"
#include "console/tone.h"
#include "console/transcript.h"
#include "console/window_palette.h"

namespace quipular {
namespace {

constexpr Rgb kWhite{255, 255, 255}, kBlack{0, 0, 0}, kRed{255, 0, 0}, kBlue{0, 0, 255};

class FakeWindow : public WindowDevice {
 public:
  struct Run {
    int column, row;
    std::string text;
    Rgb fore, back;
  };
  bool Open(const WindowRequest& r, std::string&) override {
    request = r;
    return true;
  }
  // A face whose cells are 3 wide for every 7 high: 9 x 21 fit 720 x 525.
  PixelSize UsableArea() override { return usable; }
  CellMetrics MeasureCell(int height, int width) override {
    return {width ? width : height * 3 / 7, height, height * 16 / 21, 0};
  }
  CellMetrics UseCell(int height, int width) override {
    cell = MeasureCell(height, width);
    ++cells_used;
    return cell;
  }
  PixelSize Size() override { return size; }
  void Resize(PixelSize s) override { size = s; }
  void SetOrigin(int x, int y) override { origin = PixelRect{x, y, 0, 0}; }
  void Show(bool max) override {
    shown = true;
    maximized = max;
  }
  void Hide() override { shown = false; }
  void DrawRun(int column, int row, const unsigned char* chars, int count, Rgb fore,
               Rgb back) override {
    runs.push_back(
        {column, row, std::string(reinterpret_cast<const char*>(chars), count), fore, back});
  }
  void ScrollUp(Rgb fill) override {
    ++scrolls;
    scroll_fill = fill;
  }
  int RoomBelow() override { return room_below; }
  void SetCaret(PixelRect c, Rgb colour) override {
    caret = c;
    caret_colour = colour;
  }
  void SetMagnified(PixelRect source) override { magnified = source; }
  void Flush() override {}
  bool NextEvent(WindowEvent& e, int) override {
    if (events.empty()) return false;
    e = events.front();
    events.pop_front();
    return true;
  }
  void SetTitle(const std::string& t) override {
    title = t;
    if (title_sink) *title_sink = t;
  }
  void PlayWave(const std::vector<uint8_t>& w, bool loop) override {
    wave = w;
    looping = loop;
    playing = true;
  }
  void StopWave() override { playing = false; }

  WindowRequest request;
  PixelSize usable{720, 525}, size;
  CellMetrics cell;
  int cells_used = 0;
  PixelRect origin;
  Rgb caret_colour;
  bool shown = false, maximized = false;
  std::vector<Run> runs;
  int scrolls = 0;
  Rgb scroll_fill;
  int room_below = 100;
  PixelRect caret, magnified;
  std::deque<WindowEvent> events;
  std::string title;
  std::string* title_sink = nullptr;  // outlives the window
  std::vector<uint8_t> wave;
  bool looping = false, playing = false;
};

// Key events as a keyboard sends them: the key-down, the text it types (if
// any), the key-up.
WindowEvent Down(WindowKey key, const char* mods = "", std::string text = {}) {
  WindowEvent e;
  e.kind = WindowEvent::kKeyDown;
  e.key = key;
  e.ctrl = std::string(mods).find('c') != std::string::npos;
  e.alt = std::string(mods).find('a') != std::string::npos;
  e.shift = std::string(mods).find('s') != std::string::npos;
  e.text = std::move(text);
  return e;
}

WindowKey Letter(char c) {
  return {WindowKey::kLetter, c, kNoExtendedKey};
}
WindowKey Digit(char c) {
  return {WindowKey::kDigit, c, kNoExtendedKey};
}
WindowKey Ext(ExtendedKey x) {
  return {WindowKey::kExtended, 0, x};
}
WindowKey Plain(WindowKey::Kind k) {
  return {k, 0, kNoExtendedKey};
}

WindowEvent Up(WindowKey key, const char* mods = "") {
  WindowEvent e = Down(key, mods);
  e.kind = WindowEvent::kKeyUp;
  return e;
}

WindowEvent Text(const std::string& text) {
  WindowEvent e;
  e.kind = WindowEvent::kText;
  e.text = text;
  return e;
}

WindowEvent Only(WindowEvent::Kind kind) {
  WindowEvent e;
  e.kind = kind;
  return e;
}

WindowEvent Mouse(WindowEvent::Kind kind, int x, int y) {
  WindowEvent e;
  e.kind = kind;
  e.x = x;
  e.y = y;
  return e;
}

class WindowFrontendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/quipular-config-XXXXXX";
    config_ = mkdtemp(templ);
    setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
    setenv("VESTRA_WINDIR", "/nonexistent/quipular-windows", 1);
    ForgetProfiles();
    auto device = std::make_unique<FakeWindow>();
    window_ = device.get();
    frontend_ = std::make_unique<WindowFrontend>(std::move(device), KeyScript{}, true);
    std::string error;
    ASSERT_TRUE(frontend_->Start(error));
    ResetConsole(frontend_.get());
    AttachBrailleParts();
    g_transcript = SpeechTranscript{};
  }
  void TearDown() override {
    g_transcript = SpeechTranscript{};
    std::remove(TextSizeFile().c_str());
    rmdir((config_ + "/quipular").c_str());
    rmdir(config_.c_str());
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("VESTRA_WINDIR");
    ForgetProfiles();
  }

  // Sends a key as the window system does and returns what was queued.
  std::string Press(const WindowEvent& down) {
    window_->events.push_back(down);
    if (!down.text.empty()) window_->events.push_back(Text(down.text));
    WindowEvent up = down;
    up.kind = WindowEvent::kKeyUp;
    window_->events.push_back(up);
    return Pump();
  }
  std::string Send(std::initializer_list<WindowEvent> events) {
    window_->events.assign(events);
    return Pump();
  }
  std::string Pump() {
    frontend_->PumpEvents(0);
    std::string queued(reinterpret_cast<const char*>(g_console.queue), g_console.queued);
    g_console.queued = 0;
    return queued;
  }
  static int ExitOf(const std::function<void()>& f) {
    try {
      f();
    } catch (const ProgramExit& e) {
      return e.code;
    }
    return -1;
  }
  void Open() {
    OpenConsole();
    window_->runs.clear();
  }

  // A new front-end on a new fake window, as at the next start.
  void Restart() {
    ForgetProfiles();
    auto device = std::make_unique<FakeWindow>();
    window_ = device.get();
    frontend_ = std::make_unique<WindowFrontend>(std::move(device), std::vector<KeyGroup>{}, true);
    std::string error;
    ASSERT_TRUE(frontend_->Start(error));
    ResetConsole(frontend_.get());
  }

  std::string config_;
  FakeWindow* window_;
  std::unique_ptr<WindowFrontend> frontend_;
};

std::string Ex(int code) {
  return std::string{'\0', static_cast<char>(code)};
}

TEST_F(WindowFrontendTest, KeyCodes) {
  const struct {
    WindowEvent down;
    std::string queued;
    char ctrl_letter = 0;  // what CtrlLetterHeld answers for the key
  } cases[] = {
      {Down(Ext(kKeyF1)), Ex(59)},
      {Down(Ext(kKeyF1), "c"), Ex(94)},
      {Down(Ext(kKeyF1), "s"), Ex(59)},
      {Down(Ext(kKeyF10)), Ex(68)},
      {Down(Ext(kKeyF12), "c"), Ex(105)},
      {Down(Ext(kKeyIns), "s"), Ex(254)},
      {Down(Ext(kKeyIns), "c"), Ex(255)},
      {Down(Ext(kKeyIns), "cs"), Ex(255)},
      {Down(Ext(kKeyDel), "c"), Ex(83)},
      {Down(Ext(kKeyPgUp)), Ex(73)},
      {Down(Ext(kKeyPgUp), "c"), Ex(132)},
      {Down(Ext(kKeyUp), "c"), Ex(113)},
      {Down(Ext(kKeyHome), "c"), Ex(119)},
      {Down(Plain(WindowKey::kEnter)), "\r"},
      {Down(Plain(WindowKey::kEnter), "c"), "\n"},
      {Down(Plain(WindowKey::kBackspace)), "\b"},
      {Down(Plain(WindowKey::kBackspace), "c"), "\x7f"},
      {Down(Plain(WindowKey::kEsc)), "\x1b"},
      {Down(Plain(WindowKey::kTab)), "\t"},
      {Down(Letter('H'), "c"), "\x7f", 'H'},
      {Down(Letter('M'), "c"), "\n", 'M'},
      {Down(Letter('T'), "c"), "\x14", 'T'},
      {Down(Letter('F'), "cs"), "\x06", 'F'},
      {Down(Letter('A'), "", "a"), "a"},
      {Down(Letter('A'), "s", "A"), "A"},
      {Down(Plain(WindowKey::kSpace), "", " "), " "},
      {Down(Plain(WindowKey::kOther), "", "\xc3\xa7"), "\xe7"},      // ç
      {Down(Plain(WindowKey::kOther), "", "\xe2\x82\xac"), "\x80"},  // €
      {Down(Plain(WindowKey::kOther), "", "\xe4\xb8\xad"), ""},      // no such byte
      {Down(Plain(WindowKey::kOther), "", "?"), "?"},
      {Down(Digit('1'), "c", "1"), ""},  // Ctrl with a digit types nothing
      // Alt with a letter or digit, Ctrl or not; its text is not typed too.
      {Down(Letter('A'), "a", "a"), Ex(30)},
      {Down(Letter('Z'), "a", "z"), Ex(44)},
      {Down(Letter('Q'), "ca"), Ex(16)},
      {Down(Digit('0'), "a", "0"), Ex(129)},
      {Down(Digit('9'), "a", "9"), Ex(128)},
      // Alt alone makes system keys of the rest, but Left and Right.
      {Down(Ext(kKeyF4), "a"), ""},
      {Down(Ext(kKeyUp), "a"), ""},
      {Down(Plain(WindowKey::kOther), "a", "+"), ""},
      {Down(Ext(kKeyLeft), "a"), Ex(75)},
      {Down(Ext(kKeyRight), "a"), Ex(77)},
      {Down(Ext(kKeyF1), "ca"), Ex(94)},
      {Down(Plain(WindowKey::kBreak)), ""},
  };
  for (const auto& c : cases) {
    std::string label = std::string("key ") + std::to_string(c.down.key.kind) + " " +
                        c.down.key.letter + " ext " + std::to_string(c.down.key.extended) +
                        (c.down.ctrl ? " ctrl" : "") + (c.down.alt ? " alt" : "") +
                        (c.down.shift ? " shift" : "") + " text '" + c.down.text + "'";
    window_->events.push_back(c.down);
    if (!c.down.text.empty()) window_->events.push_back(Text(c.down.text));
    frontend_->PumpEvents(0);
    std::string queued(reinterpret_cast<const char*>(g_console.queue), g_console.queued);
    EXPECT_EQ(queued, c.queued) << label;
    while (g_console.queued > 0) ReadKey();
    if (!c.queued.empty()) {
      EXPECT_EQ(frontend_->CtrlLetterHeld('M'), c.ctrl_letter == 'M') << label;
    }
    if (c.ctrl_letter) {
      EXPECT_TRUE(frontend_->CtrlLetterHeld(c.ctrl_letter)) << label;
    }
  }
}

TEST_F(WindowFrontendTest, TypedAheadCtrlMStaysCtrlM) {
  window_->events = {Down(Letter('M'), "c"), Down(Digit('5')), Text("5"),
                     Down(Plain(WindowKey::kEnter), "c")};
  frontend_->PumpEvents(0);
  ASSERT_EQ(g_console.queued, 3);
  EXPECT_EQ(ReadKey(), 10);
  EXPECT_TRUE(frontend_->CtrlLetterHeld('M'));
  EXPECT_EQ(ReadKey(), '5');
  EXPECT_FALSE(frontend_->CtrlLetterHeld('M'));
  EXPECT_EQ(ReadKey(), 10);  // Ctrl+Enter: 10 as well, but not Ctrl+M
  EXPECT_FALSE(frontend_->CtrlLetterHeld('M'));
}

TEST_F(WindowFrontendTest, BrailleChordsAndModeKeys) {
  g_transcript.enabled = true;
  Press(Down(Ext(kKeyF11), "ca"));
  EXPECT_EQ(g_braille.mode, 1);
  EXPECT_EQ(g_transcript.lines,
            (std::vector<std::string>{"tone 800", "pause 200", "tone 1600", "pause 200"}));
  // F and J together, each typing its letter as a keyboard does: "c" only.
  EXPECT_EQ(Send({Down(Letter('F')), Text("f"), Down(Letter('J')), Text("j"), Up(Letter('F')),
                  Up(Letter('J'))}),
            "c");
  EXPECT_EQ(Press(Down(Plain(WindowKey::kSpace), "", " ")), " ");
  EXPECT_EQ(Press(Down(Letter('X'), "", "x")), "");  // letters come from chords only
  EXPECT_EQ(Press(Down(Digit('5'), "", "5")), "5");
  EXPECT_EQ(Press(Down(Plain(WindowKey::kEnter))), "\r");
  // Ctrl+F is no chord; letting Ctrl go before F types nothing more.
  EXPECT_EQ(Send({Down(Letter('F'), "c"), Up(Letter('F'))}), "\x06");
  // A chord cut by the window losing the keyboard is forgotten.
  EXPECT_EQ(Send({Down(Letter('F')), Text("f"), Only(WindowEvent::kFocusLost), Up(Letter('F'))}),
            "");
  Press(Down(Ext(kKeyF11), "ca"));
  EXPECT_EQ(g_braille.mode, 2);
  Press(Down(Ext(kKeyF11), "ca"));
  EXPECT_EQ(g_braille.mode, 1);
  Press(Down(Ext(kKeyF12), "ca"));
  EXPECT_EQ(g_braille.mode, 0);
  EXPECT_EQ(g_transcript.lines.back(), "pause 200");
  EXPECT_EQ(g_transcript.lines[g_transcript.lines.size() - 2], "tone 100");
  EXPECT_EQ(Press(Down(Letter('F'), "", "f")), "f");
}

TEST_F(WindowFrontendTest, DrawsOnlyTheChangedSpanInRunsOfEqualAttribute) {
  OpenConsole();
  EXPECT_TRUE(window_->shown);
  EXPECT_TRUE(window_->maximized);  // CANTOTELA's default
  ASSERT_EQ(window_->runs.size(), 25u);
  EXPECT_EQ(window_->runs[24].text, std::string(80, ' '));
  window_->runs.clear();

  ConsoleWrite("X = 12345");
  frontend_->Present();
  ASSERT_EQ(window_->runs.size(), 1u);
  EXPECT_EQ(window_->runs[0].text, "X = 12345");
  window_->runs.clear();
  frontend_->Present();
  EXPECT_TRUE(window_->runs.empty());

  MoveCursor(5, 1);
  ConsoleWrite("2");
  SetTextColour(4);
  ConsoleWrite("E");
  SetTextColour(15);
  ConsoleWrite("20");  // "X = 2E205": the last 5 stays
  frontend_->Present();
  ASSERT_EQ(window_->runs.size(), 3u);
  EXPECT_EQ(window_->runs[0].column, 4);
  EXPECT_EQ(window_->runs[0].text, "2");
  EXPECT_EQ(window_->runs[1].text, "E");
  EXPECT_EQ(window_->runs[1].fore, kRed);
  EXPECT_EQ(window_->runs[1].back, kBlack);
  EXPECT_EQ(window_->runs[2].text, "20");
  EXPECT_EQ(window_->runs[2].fore, kWhite);

  // Colours go through the remap; a remapped value above 15 is black.
  window_->runs.clear();
  g_console.remap[4] = 1;
  g_console.remap[15] = 99;
  MoveCursor(6, 1);
  ConsoleWrite("e");
  frontend_->Present();
  ASSERT_EQ(window_->runs.size(), 1u);
  EXPECT_EQ(window_->runs[0].fore, kBlack);
}

TEST_F(WindowFrontendTest, CaretWhileAKeyIsAwaitedWithFocus) {
  Open();
  ConsoleWrite("Operando: ");
  g_console.waiting_for_key = true;
  frontend_->Present();
  EXPECT_EQ(window_->caret.w, 0);  // no focus yet
  window_->events = {Only(WindowEvent::kFocusGained)};
  frontend_->PumpEvents(0);
  // A sixth of the 21-pixel cell, along its bottom, green over white on
  // black: 4.4:1 from both.
  EXPECT_EQ(window_->caret, (PixelRect{10 * 9, 17, 9, 4}));
  EXPECT_EQ(window_->caret_colour, (Rgb{0, 140, 0}));
  EXPECT_GT(ContrastRatio(window_->caret_colour, kWhite), 4.4);
  EXPECT_GT(ContrastRatio(window_->caret_colour, kBlack), 4.4);
  window_->events = {Only(WindowEvent::kFocusLost)};
  frontend_->PumpEvents(0);
  EXPECT_EQ(window_->caret.w, 0);
  window_->events = {Only(WindowEvent::kFocusGained)};
  frontend_->PumpEvents(0);
  EXPECT_EQ(Press(Down(Digit('5'), "", "5")), "5");
  EXPECT_EQ(window_->caret.w, 0);  // gone as soon as the key came
  // Past the last column the caret stays on the last cell.
  MoveCursor(1, 3);
  ConsoleWrite(std::string(80, 'x'));
  frontend_->Present();
  EXPECT_EQ(window_->caret, (PixelRect{79 * 9, 3 * 21 - 4, 9, 4}));
  g_console.waiting_for_key = false;
  frontend_->Present();
  EXPECT_EQ(window_->caret.w, 0);
}

TEST_F(WindowFrontendTest, SlowScrollingMovesPixelsWhenSeen) {
  Open();
  for (int i = 0; i < kRows; ++i) ConsoleWrite("linha " + std::to_string(i) + "\r\n");
  frontend_->Present();
  window_->runs.clear();
  window_->events = {Only(WindowEvent::kFocusGained)};
  frontend_->PumpEvents(0);
  g_console.slow_scroll = true;
  SetBackgroundColour(1);
  ConsoleWrite("fim\r\n");
  frontend_->Present();
  EXPECT_EQ(window_->scrolls, 1);
  EXPECT_EQ(window_->scroll_fill, kBlue);
  // Only the line that moved into view blank, "fim", is drawn.
  ASSERT_EQ(window_->runs.size(), 1u);
  EXPECT_EQ(window_->runs[0].row, 23);
  EXPECT_EQ(window_->runs[0].text, "fim");

  // Too near the bottom of the screen: the rows are drawn instead.
  window_->runs.clear();
  window_->room_below = 32;
  ConsoleWrite("outra\r\n");
  frontend_->Present();
  EXPECT_EQ(window_->scrolls, 1);
  EXPECT_GT(window_->runs.size(), 20u);
}

TEST_F(WindowFrontendTest, MagnifierFollowsTheMouseWhileTheRightButtonIsDown) {
  const struct {
    int x, y, factor;
    PixelRect source;
  } cases[] = {
      {0, 0, 2, {0, 0, 360, 262}},
      {100, 50, 2, {50, 25, 360, 262}},
      {720, 525, 2, {360, 263, 360, 262}},
      {900, 600, 2, {360, 263, 360, 262}},  // outside: as on the edge
      {-20, -5, 2, {0, 0, 360, 262}},
      {700, 500, 7, {600, 429, 102, 75}},
      {333, 444, 1, {0, 0, 720, 525}},  // factor 1: the window unchanged
  };
  for (const auto& c : cases)
    EXPECT_EQ(MagnifierSource(c.x, c.y, c.factor, 720, 525), c.source)
        << c.x << "," << c.y << " x" << c.factor;
  EXPECT_EQ(MagnifierFactor('3'), 3);
  EXPECT_EQ(MagnifierFactor('0'), 2);  // no factor: the default
  EXPECT_EQ(MagnifierFactor('8'), 2);

  Open();
  window_->events = {Mouse(WindowEvent::kMouseMove, 100, 50)};
  frontend_->PumpEvents(0);
  EXPECT_EQ(window_->magnified.w, 0);
  window_->events = {Mouse(WindowEvent::kRightDown, 100, 50)};
  frontend_->PumpEvents(0);
  EXPECT_EQ(window_->magnified, (PixelRect{50, 25, 360, 262}));
  window_->events = {Mouse(WindowEvent::kMouseMove, 720, 525)};
  frontend_->PumpEvents(0);
  EXPECT_EQ(window_->magnified, (PixelRect{360, 263, 360, 262}));
  window_->events = {Mouse(WindowEvent::kRightUp, 720, 525)};
  frontend_->PumpEvents(0);
  EXPECT_EQ(window_->magnified.w, 0);
}

TEST_F(WindowFrontendTest, WaysOut) {
  Open();
  window_->events = {Down(Plain(WindowKey::kBreak), "c")};
  EXPECT_EQ(ExitOf([&] { frontend_->PumpEvents(0); }), kExitBreak);
  window_->events = {Only(WindowEvent::kQuit)};
  EXPECT_EQ(ExitOf([&] { frontend_->PumpEvents(0); }), kExitBreak);
  // Closing the window ends normally; keys still queued are thrown away.
  QueueKey('7');
  window_->events = {Only(WindowEvent::kClose), Down(Digit('8')), Text("8")};
  EXPECT_EQ(ExitOf([&] { frontend_->PumpEvents(0); }), kExitNormal);
  EXPECT_EQ(g_console.queued, 0);
  EXPECT_FALSE(window_->shown);
  std::string last_title = "none";
  window_->title_sink = &last_title;
  frontend_.reset();  // a closed window gets no last title
  EXPECT_EQ(last_title, "none");
}

TEST_F(WindowFrontendTest, TitlesAndTone) {
  EXPECT_NE(window_->request.title.find("unit_tests"), std::string::npos);
  EXPECT_EQ(window_->request.font_face, "Lucida Console");
  EXPECT_EQ(window_->request.glyphs[65], 65u);        // A
  EXPECT_EQ(window_->request.glyphs[0x80], 0x20ACu);  // €
  EXPECT_EQ(window_->request.glyphs[0x81], 0u);       // unused byte: blank
  SetConsoleTitle("QUIPULAR");
  EXPECT_EQ(window_->title, "QUIPULAR");
  StartTone(800);
  EXPECT_TRUE(window_->playing);
  EXPECT_TRUE(window_->looping);
  EXPECT_EQ(window_->wave, BuildToneWave(800));
  StopTone();
  EXPECT_FALSE(window_->playing);
  frontend_->Beep();
  EXPECT_TRUE(window_->playing);
  EXPECT_FALSE(window_->looping);
  std::string last_title;
  window_->title_sink = &last_title;
  frontend_.reset();  // the program ends with its window open
  EXPECT_EQ(last_title, "Programa terminado");
}

TEST_F(WindowFrontendTest, CellSizesThatAreNotNumbersLeaveTheCellsToTheWindow) {
  char templ[] = "/tmp/quipular-sizes-XXXXXX";
  const std::string dir = mkdtemp(templ);
  setenv("VESTRA_WINDIR", dir.c_str(), 1);
  const struct {
    const char *height, *width;
    int want_height, want_width;
  } cases[] = {
      // 0: not fixed, the cells that fit the window.
      {"30", "12", 30, 12},   {"abc", "-5", 0, 0},       {"", "", 0, 0},
      {"0", "0", 0, 0},       {"257", "129", 0, 0},      {"22px", "9.5", 0, 0},
      {"8", "4", 8, 4},       {"256", "128", 256, 128},  {"7", "3", 0, 0},
      {"\"40\"", "x", 40, 0}, {"99999999999", "", 0, 0}, {"", "12", 0, 0},
  };
  for (const auto& c : cases) {
    std::ofstream(dir + "/VESTRA.INI")
        << "[VIDEO]\nALTURALETRA=" << c.height << "\nLARGURALETRA=" << c.width << "\n";
    ForgetProfiles();
    auto device = std::make_unique<FakeWindow>();
    FakeWindow* window = device.get();
    WindowFrontend frontend(std::move(device), {}, false);
    std::string error;
    ASSERT_TRUE(frontend.Start(error));
    EXPECT_EQ(window->request.font_height, c.want_height) << c.height;
    EXPECT_EQ(window->request.font_width, c.want_width) << c.width;
    // A fixed height is the cell's; else the 720 x 525 screen is filled.
    EXPECT_EQ(window->cell.height, c.want_height ? c.want_height : 21) << c.height;
  }
  std::remove((dir + "/VESTRA.INI").c_str());
  rmdir(dir.c_str());
  ResetConsole(frontend_.get());
}

// The cells are the largest that fit the window, whatever its size, with
// the grid in the middle; the text size scales them, and a grid larger than
// the window is moved to keep the cursor in view.
TEST_F(WindowFrontendTest, CellsFitTheWindowAndTheTextSize) {
  EXPECT_EQ(window_->size, (PixelSize{720, 525}));  // opened at the fitting size
  EXPECT_EQ(window_->cell.height, 21);
  Open();
  const struct {
    PixelSize window;
    int height;        // the cell's
    PixelRect origin;  // where the grid lies
  } sizes[] = {
      {{1440, 1050}, 42, {0, 0, 0, 0}},
      {{1000, 525}, 21, {140, 0, 0, 0}},  // wider: margins left and right
      {{360, 262}, 10, {20, 6, 0, 0}},    // half: 80 x 4 by 25 x 10 fit
      {{720, 525}, 21, {0, 0, 0, 0}},
  };
  for (const auto& c : sizes) {
    window_->runs.clear();
    WindowEvent resized = Only(WindowEvent::kResized);
    resized.x = c.window.w;
    resized.y = c.window.h;
    window_->events = {resized, Down(Digit('5'), "", "5"), Text("5")};
    EXPECT_EQ(Pump(), "5") << c.window.w;  // no key lost on the way
    EXPECT_EQ(window_->cell.height, c.height) << c.window.w;
    EXPECT_EQ(window_->origin, c.origin) << c.window.w;
    EXPECT_EQ(window_->runs.size(), static_cast<size_t>(kRows)) << "not drawn anew";
  }

  // Ctrl+Plus, Ctrl+Minus and Ctrl+0 queue nothing, scale the cells in
  // steps of a tenth of the fitting size, and say the new size.
  const struct {
    WindowEvent key;
    int percent, height;
  } zooms[] = {
      {Down(Plain(WindowKey::kPlus), "c"), 110, 23},
      {Down(Plain(WindowKey::kPlus), "cs"), 120, 25},
      {Down(Digit('0'), "c"), 100, 21},
      {Down(Plain(WindowKey::kMinus), "c"), 90, 19},
      {Down(Plain(WindowKey::kMinus), "c"), 80, 17},
  };
  for (const auto& z : zooms) {
    g_notice.notice = -1;
    EXPECT_EQ(Press(z.key), "") << z.percent;
    EXPECT_EQ(window_->cell.height, z.height) << z.percent;
    EXPECT_EQ(g_notice.notice, kNoticeTextSize);
    EXPECT_EQ(g_notice.value, z.percent);
  }
  // Smaller than fitting: in the middle of the window.
  EXPECT_EQ(window_->origin, (PixelRect{(720 - 80 * 7) / 2, (525 - 25 * 17) / 2, 0, 0}));
  for (int i = 0; i < 10; ++i) Press(Down(Plain(WindowKey::kMinus), "c"));
  EXPECT_EQ(g_notice.value, kSmallestTextSize);

  // The size is kept for the next start, and a start finds it.
  for (int i = 0; i < 10; ++i) Press(Down(Plain(WindowKey::kPlus), "c"));
  EXPECT_EQ(g_notice.value, 150);
  Restart();
  EXPECT_EQ(window_->cell.height, 32);  // 150 percent of 21
  Open();
  // Larger than the window: the cursor's corner of the grid is in view.
  frontend_->Present();
  EXPECT_EQ(window_->origin, (PixelRect{0, 0, 0, 0}));
  MoveCursor(80, 25);
  frontend_->Present();
  const int grid_w = 80 * window_->cell.width, grid_h = 25 * 32;
  EXPECT_EQ(window_->origin, (PixelRect{720 - grid_w, 525 - grid_h, 0, 0}));
  // Back up a few rows: the grid moves only as far as the cursor needs.
  MoveCursor(80, 20);
  frontend_->Present();
  EXPECT_EQ(window_->origin.x, 720 - grid_w);
  int y = 19 * 32 + 16 + window_->origin.y;
  EXPECT_GE(y, 3 * 32);
  EXPECT_LE(y, 525 - 3 * 32);
}

TEST_F(WindowFrontendTest, TheTextSizeFileIsReadWithCare) {
  const std::string path = TextSizeFile();
  EXPECT_EQ(path, config_ + "/quipular/janela.ini");
  std::string error;
  ASSERT_TRUE(SaveTextSize(130, error)) << error;
  ForgetProfiles();
  EXPECT_EQ(ReadTextSize(), 130);
  const struct {
    const char* text;
    int size;
  } cases[] = {
      {"[JANELA]\nTAMANHO=70\n", 70},
      {"[janela]\ntamanho=200\n", 200},
      {"[JANELA]\nTAMANHO=201\n", 100},
      {"[JANELA]\nTAMANHO=49\n", 100},
      {"[JANELA]\nTAMANHO=9x\n", 100},
      {"[JANELA]\nTAMANHO=\n", 100},
      {"TAMANHO=70\n", 100},
      {"\x01\x02 not a settings file", 100},
  };
  for (const auto& c : cases) {
    std::ofstream(path) << c.text;
    ForgetProfiles();
    EXPECT_EQ(ReadTextSize(), c.size) << c.text;
  }
  // A directory where the file would go: not kept, and said why.
  std::remove(path.c_str());
  ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
  EXPECT_FALSE(SaveTextSize(120, error));
  EXPECT_NE(error.find("janela.ini"), std::string::npos);
  rmdir(path.c_str());
  // Nothing half written is left beside it.
  ASSERT_TRUE(SaveTextSize(90, error));
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(config_ + "/quipular")) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

// The magnifier's key: the magnified part follows the cursor to a new line
// and the focus line of a result, and goes with the key pressed again.
TEST_F(WindowFrontendTest, MagnifierKeyFollowsTheFocus) {
  Open();
  g_console.magnification = 2;
  MoveCursor(11, 11);
  frontend_->Present();
  EXPECT_EQ(window_->magnified.w, 0);
  EXPECT_EQ(Press(Down(Digit('8'), "ca")), "");
  EXPECT_EQ(g_notice.notice, kNoticeMagnifierOn);
  // The cursor's cell (10, 10) at 9 x 21: its middle is (94, 220).
  EXPECT_EQ(window_->magnified, MagnifierSource(94, 220, 2, 720, 525));
  MoveCursor(11, 20);
  frontend_->Present();
  EXPECT_EQ(window_->magnified, MagnifierSource(94, 19 * 21 + 10, 2, 720, 525));
  SetBrailleFocus(3, 30);
  frontend_->Present();
  EXPECT_EQ(window_->magnified, MagnifierSource(29 * 9 + 4, 2 * 21 + 10, 2, 720, 525));
  // The mouse takes over while its button is held, and gives the focus back.
  window_->events = {Mouse(WindowEvent::kRightDown, 700, 500)};
  frontend_->PumpEvents(0);
  EXPECT_EQ(window_->magnified, MagnifierSource(700, 500, 2, 720, 525));
  window_->events = {Mouse(WindowEvent::kRightUp, 700, 500)};
  frontend_->PumpEvents(0);
  EXPECT_EQ(window_->magnified, MagnifierSource(29 * 9 + 4, 2 * 21 + 10, 2, 720, 525));
  EXPECT_EQ(Press(Down(Digit('8'), "ca")), "");
  EXPECT_EQ(g_notice.notice, kNoticeMagnifierOff);
  EXPECT_EQ(window_->magnified.w, 0);
}

TEST_F(WindowFrontendTest, HighContrastDrawsEveryPairAtLeastSevenToOne) {
  char templ[] = "/tmp/quipular-contrast-XXXXXX";
  const std::string dir = mkdtemp(templ);
  setenv("VESTRA_WINDIR", dir.c_str(), 1);
  std::ofstream(dir + "/VESTRA.INI") << "[VIDEO]\nALTOCONTRASTE=S\n";
  Restart();
  Open();
  for (int back = 0; back < 16; ++back) {
    for (int fore = 0; fore < 16; ++fore) {
      SetBackgroundColour(back);
      SetTextColour(fore);
      MoveCursor(1 + fore, 1 + back);
      ConsoleWrite("x");
    }
  }
  frontend_->Present();
  int checked = 0;
  for (const auto& run : window_->runs) {
    if (run.fore == run.back) continue;  // one colour: nothing to read
    EXPECT_GE(ContrastRatio(run.fore, run.back), 7.0) << run.column << "," << run.row;
    ++checked;
  }
  EXPECT_GT(checked, 200);
  std::remove((dir + "/VESTRA.INI").c_str());
  rmdir(dir.c_str());
}

}  // namespace
}  // namespace quipular
