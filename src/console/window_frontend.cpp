// The window front-end: the console's keyboard handling in its order (break,
// Alt keys, Braille chords, extended keys, characters, key-ups), drawing by
// difference in runs of equal attribute, the caret, slow scrolling, the
// magnifier, the title, the beep and the tone.
#include "console/window_frontend.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/braille_keyboard.h"
#include "console/magnifier.h"
#include "console/profile.h"
#include "console/program_exit.h"
#include "console/script_frontend.h"
#include "console/sdl_module.h"
#include "console/text_encoding.h"
#include "console/tone.h"

namespace quipular {
namespace {

// The console's sixteen colours.
constexpr Rgb kPalette[16] = {
    {0, 0, 0},       {0, 0, 255},     {0, 255, 0},     {0, 255, 255},
    {255, 0, 0},     {142, 0, 142},   {68, 34, 34},    {192, 192, 192},
    {128, 128, 128}, {128, 128, 255}, {128, 255, 128}, {128, 255, 255},
    {255, 128, 128}, {255, 128, 255}, {255, 255, 0},   {255, 255, 255},
};

// A pixel scroll is seen only when the window's bottom edge is further than
// this above the bottom of the screen.
constexpr int kScrollRoom = 32;
constexpr int kCaretHeight = 2;
constexpr int kTitleLength = 80;
constexpr const char* kEndTitle = "Programa terminado";

// A colour number through the colour remap; a remapped value above 15 is
// black.
Rgb Colour(int number) {
  int remapped = g_console.remap[number & 15];
  return remapped > 15 ? kPalette[0] : kPalette[remapped];
}

bool IsAsciiLetter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The Unicode character of a screen byte; 0 for the bytes that show nothing
// (control codes and the five that Windows-1252 leaves unused).
uint32_t Glyph(unsigned char b) {
  if (b < 32 || b == 127) return 0;
  std::string s = Utf8Char(b);
  uint32_t cp = static_cast<unsigned char>(s[0]);
  if (s.size() == 2) cp = ((cp & 0x1F) << 6) | (s[1] & 0x3F);
  if (s.size() == 3) cp = ((cp & 0x0F) << 12) | ((s[1] & 0x3F) << 6) | (s[2] & 0x3F);
  return cp >= 0x80 && cp < 0xA0 ? 0 : cp;
}

// The settings value: def when it is missing, def_when_empty when empty;
// def, said on standard error, when it is not a whole number from low to
// high (a typo must not leave the window unreadable).
int SettingNumber(const char* key, int def, int def_when_empty, int low, int high) {
  std::string v = ReadProfile("VIDEO", key, std::to_string(def));
  if (v.empty()) return def_when_empty;
  char* end = nullptr;
  errno = 0;
  long n = std::strtol(v.c_str(), &end, 10);
  if (errno == 0 && *end == '\0' && n >= low && n <= high) return static_cast<int>(n);
  std::fprintf(stderr,
               "quipular: [VIDEO] %s=%s ignored (not a whole number from %d to %d); %d used\n", key,
               v.c_str(), low, high, def);
  return def;
}

std::string ProgramPath() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string p = n > 0 ? std::string(path, static_cast<size_t>(n)) : "quipular";
  return p.size() > kTitleLength ? p.substr(0, kTitleLength) : p;
}

// Ends the switch of the Braille keyboard even when its tones are cut by
// the program's end.
struct Guard {
  bool& flag;
  explicit Guard(bool& f) : flag(f) { flag = true; }
  ~Guard() { flag = false; }
};

}  // namespace

WindowFrontend::WindowFrontend(std::unique_ptr<WindowDevice> device, KeyScript scripted, bool sound)
    : device_(std::move(device)), scripted_(std::move(scripted)), sound_(sound) {}

WindowFrontend::~WindowFrontend() {
  if (!started_) return;
  device_->StopWave();
  if (!closing_) {
    device_->SetTitle(kEndTitle);
    device_->Flush();
  }
}

bool WindowFrontend::Start(std::string& error) {
  WindowRequest request;
  request.title = ProgramPath();
  std::string face = ReadProfile("VIDEO", "FONTE", "Lucida Console");
  request.font_face = face.empty() ? "Lucida Console" : Utf8(face);
  request.font_width = SettingNumber("LARGURALETRA", 9, 12, 4, 128);
  request.font_height = SettingNumber("ALTURALETRA", 22, 18, 8, 256);
  request.font_weight = SettingNumber("PESOLETRA", 700, 700, 1, 1000);
  for (int b = 0; b < 256; ++b) request.glyphs[b] = Glyph(static_cast<unsigned char>(b));
  request.sound = sound_;
  if (!device_->Open(request, error)) return false;
  cell_ = device_->Metrics();
  started_ = true;
  return true;
}

// ---- Events ----

void WindowFrontend::PumpEvents(int timeout_ms) {
  if (!started_) return;
  SyncTags();
  // The window's tags follow each scripted key's codes.
  if (scripted_.HandOver([this](const ScriptKey& key) {
        while (tags_.size() < static_cast<size_t>(g_console.queued))
          tags_.push_back(key.ctrl_letter);
      }))
    return;
  WindowEvent event;
  for (int wait = std::max(timeout_ms, 0); device_->NextEvent(event, wait); wait = 0) Handle(event);
  SwitchBraille();
  // A key has come for the wait: the caret goes at once, not at the next
  // drawing.
  if (caret_.w && g_console.queued > 0) {
    caret_ = PixelRect{};
    device_->SetCaret(caret_);
    device_->Flush();
  }
}

void WindowFrontend::Handle(const WindowEvent& e) {
  switch (e.kind) {
    case WindowEvent::kKeyDown:
      suppress_text_ = KeyDown(e);
      break;
    case WindowEvent::kText:
      if (suppress_text_) break;
      // One character at a time: one that Windows-1252 lacks is dropped.
      for (size_t i = 0; i < e.text.size();) {
        size_t n = 1;
        while (i + n < e.text.size() && (e.text[i + n] & 0xC0) == 0x80) ++n;
        std::string one = e.text.substr(i, n);
        std::string byte = Cp1252(one);
        if (byte.size() == 1 && (byte != "?" || one == "?"))
          Character(static_cast<unsigned char>(byte[0]), 0);
        i += n;
      }
      break;
    case WindowEvent::kKeyUp:
      KeyUp(e);
      break;
    case WindowEvent::kFocusGained:
    case WindowEvent::kFocusLost:
      focus_ = e.kind == WindowEvent::kFocusGained;
      // Keys let go elsewhere never come back up here.
      if (!focus_) CancelBrailleChord();
      ShowCaret();
      device_->Flush();
      break;
    case WindowEvent::kClose:
      closing_ = true;
      device_->Hide();
      CloseConsole();
    case WindowEvent::kQuit:
      ExitProgram(kExitBreak);
    case WindowEvent::kRightDown:
      if (!magnifying_) {
        magnifying_ = true;
        Magnify(e.x, e.y);
      }
      break;
    case WindowEvent::kMouseMove:
      if (magnifying_) Magnify(e.x, e.y);
      break;
    case WindowEvent::kRightUp:
      if (magnifying_) {
        magnifying_ = false;
        device_->SetMagnified(PixelRect{});
        device_->Flush();
      }
      break;
    case WindowEvent::kNone:
      break;
  }
}

// A key going down, in the console's order; true when the key is taken
// whole, so that the text it types is not a key as well.
bool WindowFrontend::KeyDown(const WindowEvent& e) {
  const WindowKey& k = e.key;
  if (k.kind == WindowKey::kBreak && e.ctrl) {
    caret_ = PixelRect{};
    device_->SetCaret(caret_);
    device_->Flush();
    ExitProgram(kExitBreak);
  }
  if (e.alt) {
    if (e.ctrl && k.kind == WindowKey::kExtended && k.extended == kKeyF12) {
      pending_braille_ = 0;
      return true;
    }
    if (e.ctrl && k.kind == WindowKey::kExtended && k.extended == kKeyF11) {
      pending_braille_ = (pending_braille_ >= 0 ? pending_braille_ : g_braille.mode) + 1;
      return true;
    }
    if (k.kind == WindowKey::kLetter || k.kind == WindowKey::kDigit) {
      Queue(AltCode(k.letter), true, 0);
      return true;
    }
    // Alt without Ctrl makes a system key, which types nothing, of all but
    // Left and Right.
    bool left_right =
        k.kind == WindowKey::kExtended && (k.extended == kKeyLeft || k.extended == kKeyRight);
    if (!e.ctrl && !left_right) return true;
  }
  if (g_braille.mode != 0 && !e.ctrl) {
    char key = k.kind == WindowKey::kLetter ? k.letter : k.kind == WindowKey::kSpace ? ' ' : 0;
    if (key && BrailleKeyDown(key)) return true;
  }
  if (k.kind == WindowKey::kExtended) {
    Queue(ExtendedCode(k.extended, e.ctrl, e.shift), true, 0);
    return true;
  }
  // The characters that a key-down types without text of its own.
  switch (k.kind) {
    case WindowKey::kEnter:
      Character(e.ctrl ? CtrlCharacter(13) : 13, 0);
      return true;
    case WindowKey::kBackspace:
      Character(e.ctrl ? CtrlCharacter(8) : 8, 0);
      return true;
    case WindowKey::kTab:
      Character(9, 0);
      return true;
    case WindowKey::kEsc:
      Character(27, 0);
      return true;
    case WindowKey::kSpace:
      if (!e.ctrl) return false;
      Character(' ', 0);
      return true;
    case WindowKey::kLetter:
      if (!e.ctrl) return false;
      // Ctrl+H is Backspace with Ctrl, Ctrl+M is Enter with Ctrl.
      Character(CtrlCharacter(static_cast<unsigned char>(k.letter - 'A' + 1)), k.letter);
      return true;
    default:
      // Ctrl with any other key types nothing.
      return e.ctrl;
  }
}

void WindowFrontend::KeyUp(const WindowEvent& e) {
  if (g_braille.mode == 0) return;
  char key = e.key.kind == WindowKey::kLetter  ? e.key.letter
             : e.key.kind == WindowKey::kSpace ? ' '
                                               : 0;
  SyncTags();
  BrailleKeyUp(key, e.ctrl);
  PadTags();
}

// A character for the queue, unless the queue is full or the Braille
// keyboard types blanks and letters itself.
void WindowFrontend::Character(unsigned char c, char ctrl_letter) {
  if (g_braille.mode != 0 && (c == ' ' || IsAsciiLetter(c))) return;
  Queue(c, false, ctrl_letter);
}

void WindowFrontend::Queue(unsigned char code, bool extended, char ctrl_letter) {
  SyncTags();
  if (extended)
    QueueExtendedKey(code);
  else
    QueueKey(code);
  while (tags_.size() < static_cast<size_t>(g_console.queued)) tags_.push_back(ctrl_letter);
}

// The program takes keys from the front of the queue: their tags go with them.
void WindowFrontend::SyncTags() {
  while (tags_.size() > static_cast<size_t>(g_console.queued)) {
    dispatched_tag_ = tags_.front();
    tags_.pop_front();
  }
}

void WindowFrontend::PadTags() {
  while (tags_.size() < static_cast<size_t>(g_console.queued)) tags_.push_back(0);
}

// The mode tones pause, and a pause handles events: the switch waits until
// the events at hand are handled, and a switch asked for during the tones
// follows the one sounding.
void WindowFrontend::SwitchBraille() {
  if (switching_braille_) return;
  Guard guard(switching_braille_);
  while (pending_braille_ >= 0) {
    int mode = pending_braille_;
    pending_braille_ = -1;
    SetBrailleMode(mode);
  }
}

bool WindowFrontend::CtrlLetterHeld(char letter) {
  SyncTags();
  return dispatched_tag_ != 0 && dispatched_tag_ == letter;
}

// ---- Drawing ----

void WindowFrontend::Present() {
  if (!started_ || closing_ || !g_console.open) return;
  if (!shown_) {
    device_->Show(g_console.start_maximized);
    shown_ = true;
    shown_valid_ = false;
  }
  bool drawn = ScrollPixels();
  drawn |= DrawChanges();
  ShowCaret();
  device_->Flush();
  if (drawn && drawn_observer) drawn_observer();
}

// Slow scrolling moves the pixels up a line at a time, each line seen, and
// leaves only the new last line to draw; otherwise the rows that changed are
// drawn as they are.
bool WindowFrontend::ScrollPixels() {
  int lines = g_console.scrolled - scrolled_seen_;
  scrolled_seen_ = g_console.scrolled;
  if (lines <= 0 || !shown_valid_ || lines >= kRows || !g_console.slow_scroll || !focus_ ||
      device_->RoomBelow() <= kScrollRoom)
    return false;
  Rgb fill = Colour(g_console.attribute >> 4);
  for (int i = 0; i < lines; ++i) {
    device_->ScrollUp(fill);
    std::memmove(shown_chars_, shown_chars_ + kColumns, (kRows - 1) * kColumns);
    std::memmove(shown_attrs_, shown_attrs_ + kColumns, (kRows - 1) * kColumns);
    std::memset(shown_chars_ + (kRows - 1) * kColumns, ' ', kColumns);
    std::memset(shown_attrs_ + (kRows - 1) * kColumns, g_console.attribute, kColumns);
    device_->Flush();
  }
  return true;
}

// Each row's changed span, from its first to its last changed cell, drawn in
// runs of equal attribute.
bool WindowFrontend::DrawChanges() {
  bool drawn = false;
  for (int row = 0; row < kRows; ++row) {
    const int base = row * kColumns;
    int first = 0, last = kColumns - 1;
    if (shown_valid_) {
      while (first < kColumns && g_console.chars[base + first] == shown_chars_[base + first] &&
             g_console.attrs[base + first] == shown_attrs_[base + first])
        ++first;
      if (first == kColumns) continue;
      while (g_console.chars[base + last] == shown_chars_[base + last] &&
             g_console.attrs[base + last] == shown_attrs_[base + last])
        --last;
    }
    for (int start = first; start <= last;) {
      unsigned char attribute = g_console.attrs[base + start];
      int end = start + 1;
      while (end <= last && g_console.attrs[base + end] == attribute) ++end;
      device_->DrawRun(start, row, g_console.chars + base + start, end - start,
                       Colour(attribute & 15), Colour(attribute >> 4));
      start = end;
    }
    std::memcpy(shown_chars_ + base + first, g_console.chars + base + first, last - first + 1);
    std::memcpy(shown_attrs_ + base + first, g_console.attrs + base + first, last - first + 1);
    drawn = true;
  }
  shown_valid_ = true;
  return drawn;
}

// The caret shows where the key will go while a key is awaited and the
// window has the keyboard: a bar a cell wide under the base line.
void WindowFrontend::ShowCaret() {
  PixelRect caret;
  if (g_console.waiting_for_key && focus_ && g_console.queued == 0) {
    int column = std::min(g_console.column, kColumns - 1);
    caret = PixelRect{column * cell_.width, g_console.row * cell_.height + cell_.ascent,
                      cell_.width, kCaretHeight};
  }
  if (caret == caret_) return;
  caret_ = caret;
  device_->SetCaret(caret_);
}

void WindowFrontend::Magnify(int x, int y) {
  int factor = MagnifierFactor(g_console.magnification);
  device_->SetMagnified(
      MagnifierSource(x, y, factor, kColumns * cell_.width, kRows * cell_.height));
  device_->Flush();
}

// ---- Time, title and sound ----

void WindowFrontend::SetTitle(const std::string& title) {
  if (started_) device_->SetTitle(Utf8(title));
}

void WindowFrontend::Beep() {
  if (started_ && sound_ && !tone_playing_) device_->PlayWave(BuildBeepWave(), false);
}

void WindowFrontend::StartTone(int hz) {
  if (!started_ || !sound_ || hz <= 0) return;
  device_->PlayWave(BuildToneWave(hz), true);
  tone_playing_ = true;
}

void WindowFrontend::StopTone() {
  if (!started_ || !tone_playing_) return;
  device_->StopWave();
  tone_playing_ = false;
}

std::unique_ptr<WindowFrontend> OpenWindowFrontend(KeyScript scripted, bool sound,
                                                   std::string& error) {
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
    error = "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    return nullptr;
  }
  using Factory = WindowDevice* (*)();
  auto factory = reinterpret_cast<Factory>(LoadModuleSymbol("QuipularNewSdlWindow"));
  if (!factory) {
    error = "the SDL module (libquipular_sdl.so) cannot be loaded";
    return nullptr;
  }
  auto window = std::make_unique<WindowFrontend>(std::unique_ptr<WindowDevice>(factory()),
                                                 std::move(scripted), sound);
  if (!window->Start(error)) return nullptr;
  return window;
}

}  // namespace quipular
