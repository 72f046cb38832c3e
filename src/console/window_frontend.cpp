// The window front-end: the console's keyboard handling in its order (break,
// the window's own keys, Alt keys, Braille chords, extended keys,
// characters, key-ups), cells fitted to the window, drawing by difference in
// runs of equal attribute, the caret, slow scrolling, the magnifier, the
// title, the beep and the tone.
#include "console/window_frontend.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/braille_keyboard.h"
#include "console/console_notice.h"
#include "console/magnifier.h"
#include "console/profile.h"
#include "console/program_exit.h"
#include "console/script_frontend.h"
#include "console/sdl_module.h"
#include "console/text_encoding.h"
#include "console/text_size.h"
#include "console/tone.h"
#include "console/translate.h"
#include "console/window_palette.h"

namespace quipular {
namespace {

// A pixel scroll is seen only when the window's bottom edge is further than
// this above the bottom of the screen.
constexpr int kScrollRoom = 32;
// The smallest cell a text size may bring, in lines of pixels.
constexpr int kSmallestCell = 6;
// While the cells are larger than the window, the focus is kept this many
// cells (or a quarter of the window) from its edges.
constexpr int kFollowMargin = 3;
constexpr int kTitleLength = 80;
constexpr const char* kEndTitle = "Programa terminado";

// A colour number through the colour remap; a remapped value above 15 is
// black.
Rgb Colour(int number) {
  int remapped = g_console.remap[number & 15];
  return remapped > 15 ? kConsolePalette[0] : kConsolePalette[remapped];
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

// The settings value: def when it is missing or empty; def, said on
// standard error, when it is not a whole number from low to high (a typo
// must not leave the window unreadable). A def of 0 leaves the choice to
// the window.
int SettingNumber(const char* key, int def, int low, int high) {
  std::string v = ReadProfile("VIDEO", key, "");
  if (v.empty()) return def;
  char* end = nullptr;
  errno = 0;
  long n = std::strtol(v.c_str(), &end, 10);
  if (errno == 0 && *end == '\0' && n >= low && n <= high) return static_cast<int>(n);
  if (def == 0)
    std::fputs(Format(_("quipular: [VIDEO] %s=%s ignored (not a whole number from %d to %d); the "
                        "size that fits the window used\n"),
                      key, v.c_str(), low, high)
                   .c_str(),
               stderr);
  else
    std::fputs(
        Format(_("quipular: [VIDEO] %s=%s ignored (not a whole number from %d to %d); %d used\n"),
               key, v.c_str(), low, high, def)
            .c_str(),
        stderr);
  return def;
}

bool FirstIsS(const std::string& v) {
  return !v.empty() && (v[0] == 'S' || v[0] == 's');
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
  request.font_height = SettingNumber("ALTURALETRA", 0, 8, 256);
  request.font_width = SettingNumber("LARGURALETRA", 0, 4, 128);
  // A width alone fixes nothing: the height picks the size.
  if (!request.font_height) request.font_width = 0;
  request.font_weight = SettingNumber("PESOLETRA", 700, 1, 1000);
  for (int b = 0; b < 256; ++b) request.glyphs[b] = Glyph(static_cast<unsigned char>(b));
  request.sound = sound_;
  fixed_height_ = request.font_height;
  fixed_width_ = request.font_width;
  high_contrast_ = FirstIsS(ReadProfile("VIDEO", "ALTOCONTRASTE", "N"));
  text_size_ = ReadTextSize();
  if (!device_->Open(request, error)) return false;
  // The window opens as large as the fitting cells of the usable screen
  // make it; the text size then works inside it.
  PixelSize area = device_->UsableArea();
  int height = fixed_height_ ? fixed_height_ : FittingHeight(area);
  CellMetrics fitting = device_->MeasureCell(height, fixed_width_);
  window_ = PixelSize{std::min(kColumns * fitting.width, area.w),
                      std::min(kRows * fitting.height, area.h)};
  device_->Resize(window_);
  Fit();
  started_ = true;
  return true;
}

// The largest line height at which 80 x 25 cells of the face fit the area.
int WindowFrontend::FittingHeight(PixelSize area) {
  if (area == fitted_area_ && fitted_height_) return fitted_height_;
  int low = kSmallestCell, high = std::max(area.h / kRows, kSmallestCell);
  while (low < high) {
    int mid = (low + high + 1) / 2;
    CellMetrics m = device_->MeasureCell(mid, 0);
    if (m.width * kColumns <= area.w && m.height * kRows <= area.h)
      low = mid;
    else
      high = mid - 1;
  }
  fitted_area_ = area;
  fitted_height_ = low;
  return low;
}

// The cells for the window and the text size; the picture is drawn anew
// when they change.
void WindowFrontend::Fit() {
  int base = fixed_height_ ? fixed_height_ : FittingHeight(window_);
  int height = std::max(kSmallestCell, (base * text_size_ + 50) / 100);
  int width = fixed_width_ ? std::max(1, (fixed_width_ * text_size_ + 50) / 100) : 0;
  CellMetrics m = device_->MeasureCell(height, width);
  if (m.width != cell_.width || m.height != cell_.height || m.ascent != cell_.ascent) {
    cell_ = device_->UseCell(height, width);
    shown_valid_ = false;
    caret_ = PixelRect{};
  }
  PlaceView();
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
    device_->SetCaret(caret_, caret_colour_);
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
        Magnify(e.x - origin_x_, e.y - origin_y_);
      }
      break;
    case WindowEvent::kMouseMove:
      if (magnifying_) Magnify(e.x - origin_x_, e.y - origin_y_);
      break;
    case WindowEvent::kRightUp:
      if (magnifying_) {
        magnifying_ = false;
        // Back to the focus when the magnifier's key has it on.
        if (lens_)
          FollowFocus();
        else
          device_->SetMagnified(PixelRect{});
        device_->Flush();
      }
      break;
    case WindowEvent::kResized:
      window_ = PixelSize{e.x, e.y};
      Fit();
      Redraw();
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
    device_->SetCaret(caret_, caret_colour_);
    device_->Flush();
    ExitProgram(kExitBreak);
  }
  // The window's own keys, which no calculator key uses: Ctrl with +, - or
  // 0 sizes the text, Ctrl+Alt+8 turns the magnifier on or off.
  if (e.ctrl && !e.alt && (k.kind == WindowKey::kPlus || k.kind == WindowKey::kMinus)) {
    Zoom(k.kind == WindowKey::kPlus ? 1 : -1);
    return true;
  }
  if (e.ctrl && !e.alt && k.kind == WindowKey::kDigit && k.letter == '0') {
    Zoom(0);
    return true;
  }
  if (e.ctrl && e.alt && k.kind == WindowKey::kDigit && k.letter == '8') {
    ToggleLens();
    return true;
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
  PlaceView();
  bool drawn = ScrollPixels();
  drawn |= DrawChanges();
  ShowCaret();
  if (lens_ && !magnifying_) FollowFocus();
  device_->Flush();
  if (drawn && drawn_observer) drawn_observer();
}

// After the cells or the window changed: everything drawn again at once,
// keys and sounds waiting as they were.
void WindowFrontend::Redraw() {
  if (!shown_ || closing_ || !g_console.open) {
    device_->Flush();
    return;
  }
  DrawChanges();
  ShowCaret();
  if (lens_ && !magnifying_) FollowFocus();
  device_->Flush();
}

// A cell's colours: through the high-contrast pairs when they are asked for.
void WindowFrontend::Colours(unsigned char attribute, Rgb& fore, Rgb& back) const {
  fore = Colour(attribute & 15);
  back = Colour(attribute >> 4);
  if (high_contrast_) HighContrastPair(fore, back);
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
  Rgb fore, fill;
  Colours(g_console.attribute, fore, fill);
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
      Rgb fore, back;
      Colours(attribute, fore, back);
      device_->DrawRun(start, row, g_console.chars + base + start, end - start, fore, back);
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
// window has the keyboard: a bar a sixth of the cell high along its bottom,
// in a colour that stands out from both the cell's text and its background.
void WindowFrontend::ShowCaret() {
  PixelRect caret;
  Rgb colour;
  if (g_console.waiting_for_key && focus_ && g_console.queued == 0) {
    int column = std::min(g_console.column, kColumns - 1);
    int height = std::max(2, (cell_.height + 5) / 6);
    caret = PixelRect{column * cell_.width, (g_console.row + 1) * cell_.height - height,
                      cell_.width, height};
    Rgb fore, back;
    Colours(g_console.attrs[g_console.row * kColumns + column], fore, back);
    colour = CaretColour(fore, back);
  }
  if (caret == caret_ && colour == caret_colour_) return;
  caret_ = caret;
  caret_colour_ = colour;
  device_->SetCaret(caret_, colour);
}

// The part of the picture the window shows, in picture pixels.
PixelRect WindowFrontend::Visible() const {
  const int w = kColumns * cell_.width, h = kRows * cell_.height;
  int x = std::max(0, -origin_x_), y = std::max(0, -origin_y_);
  return PixelRect{x, y, std::min(w - x, window_.w), std::min(h - y, window_.h)};
}

// The point the eye follows: the middle of the focus line's first shown
// cell while there is one (a result, the chosen menu item), else of the
// cursor's cell.
void WindowFrontend::FocusPoint(int& x, int& y) const {
  int column = std::min(g_console.column, kColumns - 1), row = g_console.row;
  if (g_console.focus_row > 0) {
    row = std::min(g_console.focus_row, kRows) - 1;
    column = std::clamp(g_console.focus_first - 1, 0, kColumns - 1);
  }
  x = column * cell_.width + cell_.width / 2;
  y = row * cell_.height + cell_.height / 2;
}

// Where the 80 x 25 cells lie in the window: in its middle, with a black
// margin, along each side where they fit; else moved so that the focus
// stays in view, as little as needed.
void WindowFrontend::PlaceView() {
  int fx, fy;
  FocusPoint(fx, fy);
  auto place = [](int window, int picture, int focus, int cell, int origin) {
    if (picture <= window) return (window - picture) / 2;
    int margin = std::min(kFollowMargin * cell, window / 4);
    if (focus + origin < margin) origin = margin - focus;
    if (focus + origin > window - margin) origin = window - margin - focus;
    return std::clamp(origin, window - picture, 0);
  };
  int x = place(window_.w, kColumns * cell_.width, fx, cell_.width, origin_x_);
  int y = place(window_.h, kRows * cell_.height, fy, cell_.height, origin_y_);
  if (x == origin_x_ && y == origin_y_) return;
  origin_x_ = x;
  origin_y_ = y;
  device_->SetOrigin(x, y);
}

// The magnified part around a point of the picture: the magnifier's share
// of the part shown, placed as MagnifierSource places it.
void WindowFrontend::Magnify(int x, int y) {
  int factor = MagnifierFactor(g_console.magnification);
  PixelRect v = Visible();
  PixelRect source = MagnifierSource(x - v.x, y - v.y, factor, v.w, v.h);
  source.x += v.x;
  source.y += v.y;
  device_->SetMagnified(source);
  device_->Flush();
}

void WindowFrontend::FollowFocus() {
  int x, y;
  FocusPoint(x, y);
  Magnify(x, y);
}

// Ctrl+Plus, Ctrl+Minus (steps of 10 percent of the fitting size) and
// Ctrl+0 (back to it): the new cells at once, the size said and kept.
void WindowFrontend::Zoom(int steps) {
  int size = steps == 0 ? kFittingTextSize
                        : std::clamp(text_size_ + steps * kTextSizeStep, kSmallestTextSize,
                                     kLargestTextSize);
  if (size != text_size_) {
    text_size_ = size;
    Fit();
    Redraw();
    std::string error;
    if (!SaveTextSize(text_size_, error))
      std::fputs(Format(_("quipular: the text size is not kept: %s\n"), error.c_str()).c_str(),
                 stderr);
  }
  PostNotice(kNoticeTextSize, text_size_);
}

void WindowFrontend::ToggleLens() {
  lens_ = !lens_;
  if (lens_) {
    if (!magnifying_) FollowFocus();
  } else if (!magnifying_) {
    device_->SetMagnified(PixelRect{});
    device_->Flush();
  }
  PostNotice(lens_ ? kNoticeMagnifierOn : kNoticeMagnifierOff);
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
    error = _("no display (neither DISPLAY nor WAYLAND_DISPLAY is set)");
    return nullptr;
  }
  using Factory = WindowDevice* (*)();
  auto factory = reinterpret_cast<Factory>(LoadModuleSymbol("QuipularNewSdlWindow"));
  if (!factory) {
    error = _("the SDL module (libquipular_sdl.so) cannot be loaded");
    return nullptr;
  }
  auto window = std::make_unique<WindowFrontend>(std::unique_ptr<WindowDevice>(factory()),
                                                 std::move(scripted), sound);
  if (!window->Start(error)) return nullptr;
  return window;
}

}  // namespace quipular
