// The screen model and the console operations; front-ends only show it and
// feed its key queue.
#include "console/text_console.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "console/console_hooks.h"
#include "console/console_notice.h"
#include "console/console_state.h"
#include "console/frontend.h"
#include "console/profile.h"
#include "console/program_exit.h"
#include "console/text_encoding.h"
#include "console/transcript.h"

namespace quipular {

TextConsole g_console;
ConsoleHooks g_console_hooks;

namespace {

TextConsole& C() {
  return g_console;
}

// Whether a Braille display is held (the console pumps and presents far
// more often than anyone types, so this is a pointer read, not a call).
bool DisplayHeld() {
  const ConsoleHooks& hooks = g_console_hooks;
  return hooks.display && *hooks.display;
}

// Brings the front-end and the Braille display up to date.
void Show() {
  C().frontend->Present();
  if (DisplayHeld()) g_console_hooks.presented();
}

// Takes events from the front-end and the Braille display; with a display,
// a long wait is cut short so that its keys are read as they come.
void Pump(int timeout_ms) {
  if (DisplayHeld()) {
    // Asking the server costs a round of system calls, and the program's
    // short waits come far more often than anyone types (a script's clock
    // never waits at all): once in 10 ms is enough for those.
    using Clock = std::chrono::steady_clock;
    Clock::time_point& last = g_console_state.display_polled;
    constexpr int kBraillePollMs = 40;
    if (timeout_ms > 0 || Clock::now() - last >= std::chrono::milliseconds(10)) {
      last = Clock::now();
      g_console_hooks.poll_display();
    }
    timeout_ms = C().queued > 0 ? 0 : std::min(timeout_ms, kBraillePollMs);
  }
  C().frontend->PumpEvents(timeout_ms);
}

// A character under a routing key is said while a key is awaited, never in
// the middle of another prompt.
void SayRoutedCharacter() {
  TextConsole& c = C();
  if (c.routed < 0 || !c.say_character) return;
  auto character = static_cast<unsigned char>(c.routed);
  c.routed = -1;
  c.waiting_for_key = false;
  c.say_character(character);
  c.waiting_for_key = true;
}

// Likewise a front-end's notice; the caret, gone while it is said, comes
// back after it.
void SayNotice() {
  TextConsole& c = C();
  if (g_notice.notice < 0 || !g_notice.say) return;
  c.waiting_for_key = false;
  // One posted while another is said (the window's key pressed again) is
  // said next.
  while (g_notice.notice >= 0) {
    int notice = g_notice.notice;
    g_notice.notice = -1;
    g_notice.say(notice, g_notice.value);
  }
  c.waiting_for_key = true;
  Show();
}

void BlankRange(int row, int from, int to) {
  for (int x = from; x <= to; ++x) {
    C().chars[row * kColumns + x] = ' ';
    C().attrs[row * kColumns + x] = C().attribute;
  }
}

void ScrollUp() {
  ++C().scrolled;
  std::memmove(C().chars, C().chars + kColumns, (kRows - 1) * kColumns);
  std::memmove(C().attrs, C().attrs + kColumns, (kRows - 1) * kColumns);
  BlankRange(kRows - 1, 0, kColumns - 1);
}

void NewLine() {
  if (C().row < kRows - 1)
    ++C().row;
  else
    ScrollUp();
}

// "S" or "s" as the first character of a setting turns a flag on.
bool FirstIsS(const std::string& v) {
  return !v.empty() && (v[0] == 'S' || v[0] == 's');
}

std::string Setting(const char* section, const char* key, const char* def) {
  std::string v = ReadProfile(section, key, def);
  return v.empty() ? def : v;  // the platform gives the default for an empty value
}

void ReadVideoSettings() {
  TextConsole& c = C();
  for (int i = 0; i < 16; ++i) c.remap[i] = static_cast<unsigned char>(i);
  std::string tab = Setting("VIDEO", "TABCORES", "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15");
  size_t pos = 0;
  for (int i = 0; i < 16 && pos <= tab.size(); ++i) {
    size_t end = tab.find(',', pos);
    std::string item = tab.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    if (item.empty() || item.size() > 3 ||
        item.find_first_not_of("0123456789") != std::string::npos)
      break;
    c.remap[i] = static_cast<unsigned char>(std::atoi(item.c_str()));
    if (end == std::string::npos) break;
    pos = end + 1;
  }
  c.colours_enabled = !FirstIsS(Setting("VIDEO", "CORESFIXAS", "N"));
  c.slow_scroll = FirstIsS(Setting("VIDEO", "LENTO", "N"));
  int back = std::atoi(Setting("VIDEO", "CORFUNDO", "0").c_str());
  int fore = std::atoi(Setting("VIDEO", "CORLETRA", "15").c_str());
  c.start_attribute = static_cast<unsigned char>(((back * 16) & 0xF0) | (fore & 0x0F));
  c.attribute = c.start_attribute;
  int mode = (Setting("BRAILLE", "MODO", "0")[0]) & 3;
  c.braille_mode = mode == 3 ? 1 : mode;
  c.magnification = Setting("VIDEO", "AMPLIF", "2")[0] & 7;
  std::string corner = Setting("VIDEO", "CANTOTELA", "SIM");
  c.start_maximized = !(corner.size() > 1 && (corner[1] == 'S' || corner[1] == 's'));
}

// Blanks cut from both ends.
std::string_view Trimmed(std::string_view text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The row's cells from first to last (1-based), blanks cut from both ends.
std::string RowText(int row, int first, int last) {
  std::string_view cells(
      reinterpret_cast<const char*>(C().chars) + (row - 1) * kColumns + first - 1,
      static_cast<size_t>(last - first + 1));
  return std::string(Trimmed(cells));
}

void SetFocus(int row, int first_column, int last_column, std::string_view text,
              bool hand_over = true) {
  TextConsole& c = C();
  c.focus_row = std::clamp(row, 0, kRows);
  c.focus_first = std::clamp(first_column, 1, kColumns);
  c.focus_last = std::clamp(last_column, c.focus_first, kColumns);
  c.focus_scrolled = c.scrolled;
  c.focus_text = text;
  c.review_row = 0;
  if (c.focus_row == 0 || !hand_over) return;
  std::string line =
      text.empty() ? RowText(c.focus_row, c.focus_first, c.focus_last) : std::string(Trimmed(text));
  if (!line.empty() && c.frontend) c.frontend->Line(line);
}

}  // namespace

void ResetConsole(Frontend* frontend) {
  TextConsole& c = C();
  c = TextConsole{};
  g_console_state = ConsoleState{};
  std::memset(c.chars, ' ', sizeof c.chars);
  std::memset(c.attrs, c.attribute, sizeof c.attrs);
  for (int i = 0; i < 16; ++i) c.remap[i] = static_cast<unsigned char>(i);
  c.frontend = frontend;
}

void OpenConsole() {
  TextConsole& c = C();
  if (c.open) return;
  c.open = true;
  ReadVideoSettings();
  std::memset(c.chars, ' ', sizeof c.chars);
  std::memset(c.attrs, c.attribute, sizeof c.attrs);
  c.column = c.row = 0;
  Show();
  if (g_console_hooks.settings_read) g_console_hooks.settings_read(c.braille_mode);
}

void ConsoleWrite(const char* bytes, int count) {
  OpenConsole();
  TextConsole& c = C();
  for (int i = 0; i < count; ++i) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (b == 7) {
      c.frontend->Beep();
    } else if (b == 8) {
      if (c.column > 0) {
        --c.column;
        BlankRange(c.row, c.column, c.column);
      }
    } else if (b == 10) {
      NewLine();
      c.column = 0;
    } else if (b == 13) {
      c.column = 0;
    } else if (b >= 32) {
      if (c.column >= kColumns) {
        c.column = 0;
        NewLine();
      }
      c.chars[c.row * kColumns + c.column] = b;
      c.attrs[c.row * kColumns + c.column] = c.attribute;
      ++c.column;
    }
  }
}

void ConsoleWrite(std::string_view bytes) {
  ConsoleWrite(bytes.data(), static_cast<int>(bytes.size()));
}

void ConsoleWriteLine(std::string_view bytes) {
  ConsoleWrite(bytes);
  ConsoleWrite("\r\n", 2);
}

int ConsoleReadLine(char* buffer, int capacity) {
  int length = 0;
  for (;;) {
    unsigned char k = ReadKey();
    if (k == 13) break;
    if (k == 8) {
      if (length > 0) {
        --length;
        ConsoleWrite("\b", 1);
      }
    } else if (k >= 32 && length < capacity - 2) {
      buffer[length++] = static_cast<char>(k);
      ConsoleWrite(reinterpret_cast<const char*>(&k), 1);
    }
  }
  if (capacity >= 2) {
    buffer[length++] = '\r';
    buffer[length++] = '\n';
  }
  ConsoleWrite("\r\n", 2);
  return length;
}

void ClearScreen() {
  OpenConsole();
  std::memset(C().chars, ' ', sizeof C().chars);
  std::memset(C().attrs, C().attribute, sizeof C().attrs);
  C().column = C().row = 0;
  ++C().clears;
  C().focus_row = 0;
  C().focus_text.clear();
  C().review_row = 0;
}

void SetScreenMode(int mode) {
  ClearScreen();
  C().screen_mode = mode;
}

// From the cursor to the last column; with the cursor past the last column
// (a wrap pending) there is nothing to clear.
void ClearToEndOfLine() {
  OpenConsole();
  BlankRange(C().row, C().column, kColumns - 1);
}

void DeleteLine() {
  OpenConsole();
  TextConsole& c = C();
  int below = kRows - 1 - c.row;
  std::memmove(c.chars + c.row * kColumns, c.chars + (c.row + 1) * kColumns, below * kColumns);
  std::memmove(c.attrs + c.row * kColumns, c.attrs + (c.row + 1) * kColumns, below * kColumns);
  BlankRange(kRows - 1, 0, kColumns - 1);
}

void MoveCursor(int column, int row) {
  C().column = std::clamp(column - 1, 0, kColumns - 1);
  C().row = std::clamp(row - 1, 0, kRows - 1);
}

int CursorColumn() {
  return C().column + 1;
}
int CursorRow() {
  return C().row + 1;
}

void SetTextColour(int colour) {
  OpenConsole();
  if (C().colours_enabled)
    C().attribute = static_cast<unsigned char>((C().attribute & 0xF0) | (colour & 0x0F));
}

void SetBackgroundColour(int colour) {
  OpenConsole();
  if (C().colours_enabled)
    C().attribute = static_cast<unsigned char>((C().attribute & 0x0F) | ((colour * 16) & 0xF0));
}

void SetWaveDoneHandler(void (*handler)()) {
  C().wave_done = handler;
}

void ProcessEvents() {
  Pump(0);
  if (C().wave_done) C().wave_done();
  Show();
}

bool KeyPressed() {
  OpenConsole();
  ProcessEvents();
  return C().queued > 0;
}

bool KeyWaiting() {
  return C().queued > 0;
}

void WaitForKey() {
  OpenConsole();
  TextConsole& c = C();
  if (c.queued > 0) return;
  c.waiting_for_key = true;
  Show();
  // What is pending is said before the wait for the next event, not after
  // it (up to a second later).
  while (true) {
    SayRoutedCharacter();
    SayNotice();
    if (c.queued > 0) break;
    Pump(1000);
  }
  c.waiting_for_key = false;
}

unsigned char ReadKey() {
  WaitForKey();
  TextConsole& c = C();
  unsigned char k = c.queue[0];
  std::memmove(c.queue, c.queue + 1, --c.queued);
  c.focus_row = 0;
  c.focus_text.clear();
  c.review_row = 0;
  return k;
}

void Pause(int milliseconds) {
  RecordSpeech("pause " + std::to_string(milliseconds & 0xFFFF));
  Show();
  C().frontend->Sleep(milliseconds & 0xFFFF);
  ProcessEvents();
}

void SetConsoleTitle(const std::string& title) {
  C().title = title;
  C().frontend->SetTitle(title);
}

// The window is going: no key is awaited any more, so draining the queue
// takes only what is already there (a script hands over nothing new).
void CloseConsole() {
  C().waiting_for_key = false;
  while (KeyPressed()) ReadKey();
  ExitProgram(kExitNormal);
}

void StartTone(int hz) {
  RecordSpeech("tone " + std::to_string(hz));
  C().frontend->StopTone();
  C().frontend->StartTone(hz);
}

void StopTone() {
  C().frontend->StopTone();
}

void QueueKey(unsigned char code) {
  if (C().queued < kKeyQueueSize) C().queue[C().queued++] = code;
}

void QueueExtendedKey(unsigned char code) {
  if (C().queued > kKeyQueueSize - 2) return;
  C().queue[C().queued++] = 0;
  C().queue[C().queued++] = code;
}

void SetBrailleFocus(int row, int first_column, int last_column) {
  SetFocus(row, first_column, last_column, {});
}

void SetBrailleFocus(int row, std::string_view text) {
  SetFocus(row, 1, kColumns, text);
}

void ShowMessage(int row, int first_column, int last_column) {
  SetFocus(row, first_column, last_column, {});
}

void NarrateRows(int first_row, int last_row) {
  first_row = std::max(first_row, 1);
  last_row = std::min(last_row, kRows);
  int focus = 0;
  for (int row = first_row; row <= last_row; ++row) {
    std::string line = RowText(row, 1, kColumns);
    if (line.empty()) continue;
    if (focus == 0) focus = row;
    if (C().frontend) C().frontend->Line(line);
  }
  SetFocus(focus, 1, kColumns, {}, false);
}

void ConsoleWriteMessage(std::string_view text) {
  ConsoleWrite(text);
  ShowMessage(CursorRow());
  ConsoleWriteLine();
}

PendingNotice g_notice;

void PostNotice(ConsoleNotice notice, int value) {
  g_notice.notice = notice;
  g_notice.value = value;
}

void SetNoticeHandler(void (*handler)(int notice, int value)) {
  g_notice = PendingNotice{};
  g_notice.say = handler;
}

void SetRoutingHandler(void (*handler)(unsigned char)) {
  C().say_character = handler;
}

bool CtrlLetterHeld(char letter) {
  return C().frontend->CtrlLetterHeld(letter);
}

bool CtrlMIsEnter() {
  return C().frontend && C().frontend->CtrlMIsEnter();
}

uint64_t FrontendNowMs() {
  return C().frontend->NowMs();
}

void FrontendSleep(int milliseconds) {
  C().frontend->Sleep(milliseconds);
}

void EndKeyWait() {
  C().waiting_for_key = false;
}

std::string ScreenRow(int row) {
  std::string_view line(reinterpret_cast<const char*>(C().chars) + (row - 1) * kColumns, kColumns);
  size_t end = line.find_last_not_of(' ');
  return Utf8(end == std::string_view::npos ? std::string_view{} : line.substr(0, end + 1));
}

std::string ScreenText() {
  std::string text;
  for (int r = 1; r <= kRows; ++r) text += ScreenRow(r) + "\n";
  return text;
}

}  // namespace quipular
