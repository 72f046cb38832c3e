// What the window front-end needs of a windowing system: a window of text
// cells drawn in runs at a cell size the front-end picks, its keyboard,
// mouse, focus and size events, a caret, a stretched view, a title and a
// wave played from memory. The SDL module provides it; tests use a fake one.
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
  int font_width = 0;         // LARGURALETRA, pixels; 0: the face's own proportions
  int font_height = 0;        // ALTURALETRA, pixels; 0: the size that fits the window
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

struct PixelSize {
  int w = 0, h = 0;
  bool operator==(const PixelSize&) const = default;
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
    kPlus,       // + or =, on the main keys or the keypad
    kMinus,      // -, on the main keys or the keypad
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
    kResized,    // the window's inside is now x by y pixels
  } kind = kNone;
  WindowKey key;
  bool ctrl = false, alt = false, shift = false;  // modifiers held with a key
  std::string text;
  int x = 0, y = 0;  // window pixels
};

class WindowDevice {
 public:
  virtual ~WindowDevice() = default;
  // Opens the window, still hidden, with the font; false with the reason.
  // Nothing is drawn until UseCell gives the cell size.
  virtual bool Open(const WindowRequest& request, std::string& error) = 0;
  // The part of the screen the window may use (the desktop's panels left
  // out), in pixels.
  virtual PixelSize UsableArea() = 0;
  // The cell the font gives for a line of at most height pixels (width 0:
  // the face's own proportions), without drawing with it.
  virtual CellMetrics MeasureCell(int height, int width) = 0;
  // Draws from now on at that cell size, on a blank picture of 80 x 25 cells.
  virtual CellMetrics UseCell(int height, int width) = 0;
  // The window's inside, and a new size asked of the window system.
  virtual PixelSize Size() = 0;
  virtual void Resize(PixelSize size) = 0;
  // Where the picture's top-left corner lies in the window (negative when
  // the picture is larger); the window around the picture is black.
  virtual void SetOrigin(int x, int y) = 0;
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
  // The caret: a bar over part of a cell (picture pixels) in a colour of its
  // own; w == 0 hides it.
  virtual void SetCaret(PixelRect caret, Rgb colour) = 0;
  // Shows source (picture pixels) stretched over the part of the window
  // the picture covers; w == 0 ends it.
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
