// What the window front-end needs of a windowing system: a window of text
// cells drawn in runs, its keyboard, mouse and focus events, a caret, a
// stretched view, a title and a wave played from memory. The SDL module
// provides it; tests use a fake one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "console/key_codes.h"
#include "console/magnifier.h"

namespace quipular {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// What the window is opened with.
struct WindowRequest {
  std::string title;          // the title at creation, UTF-8
  std::string font_face;      // FONTE
  int font_width = 9;         // LARGURALETRA, pixels
  int font_height = 22;       // ALTURALETRA, pixels
  int font_weight = 700;      // PESOLETRA, 100 to 900
  uint32_t glyphs[256] = {};  // the character each screen byte shows (0: a blank)
  bool sound = true;          // tones and beeps may be played
};

// The cell metrics of the font in pixels.
struct CellMetrics {
  int width = 0;     // a cell's width
  int height = 0;    // a line's height
  int ascent = 0;    // from the top of a line to the base line
  int overhang = 0;  // extra width some faces draw past a cell
};

// A key as the console's keyboard handling sees it.
struct WindowKey {
  enum Kind : uint8_t {
    kOther,      // a key that types no code of its own (Shift, Ctrl, ...)
    kLetter,     // letter holds 'A' to 'Z'
    kDigit,      // letter holds '0' to '9'
    kSpace,      // the space bar
    kEnter,      // Enter, either one
    kBackspace,  // Backspace
    kTab,        // Tab
    kEsc,        // Esc
    kBreak,      // Pause/Break
    kExtended,   // extended holds which
  } kind = kOther;
  char letter = 0;
  ExtendedKey extended = kNoExtendedKey;
};

struct WindowEvent {
  enum Kind : uint8_t {
    kNone,
    kKeyDown,
    kKeyUp,
    kText,         // text typed (after the key-down that typed it), UTF-8
    kFocusGained,  // the window has the keyboard
    kFocusLost,
    kClose,      // the user closed the window (close box, Alt+F4)
    kQuit,       // the windowing system asks the program to end
    kRightDown,  // the right mouse button went down at x, y
    kMouseMove,  // the mouse moved to x, y
    kRightUp,    // the right mouse button went up at x, y
  } kind = kNone;
  WindowKey key;
  bool ctrl = false, alt = false, shift = false;  // modifiers held with a key
  std::string text;
  int x = 0, y = 0;  // console pixels
};

class WindowDevice {
 public:
  virtual ~WindowDevice() = default;
  // Opens the window, still hidden, with the font; false with the reason.
  virtual bool Open(const WindowRequest& request, std::string& error) = 0;
  virtual CellMetrics Metrics() = 0;
  // Shows the window, maximized or not.
  virtual void Show(bool maximized) = 0;
  virtual void Hide() = 0;
  // Draws count cells of a row from a column: the characters in fore over
  // back, as one run.
  virtual void DrawRun(int column, int row, const unsigned char* chars, int count, Rgb fore,
                       Rgb back) = 0;
  // Moves the picture up one line; the new last line is filled with fill.
  virtual void ScrollUp(Rgb fill) = 0;
  // How many pixels lie between the window's bottom edge and the screen's.
  virtual int RoomBelow() = 0;
  // The caret: a bar over part of a cell, drawn inverted; w == 0 hides it.
  virtual void SetCaret(PixelRect caret) = 0;
  // Shows source stretched over the whole window; w == 0 ends it.
  virtual void SetMagnified(PixelRect source) = 0;
  // Puts on screen everything drawn since the last call.
  virtual void Flush() = 0;
  // The next event, waiting at most timeout_ms for it; false when none.
  virtual bool NextEvent(WindowEvent& event, int timeout_ms) = 0;
  virtual void SetTitle(const std::string& utf8) = 0;
  // Plays a complete wave file from memory, once or looping, until StopWave.
  virtual void PlayWave(const std::vector<uint8_t>& wave, bool loop) = 0;
  virtual void StopWave() = 0;
};

}  // namespace quipular
