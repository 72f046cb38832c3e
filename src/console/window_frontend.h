// The window front-end: the console in a desktop window, drawn from the
// screen model on a window device (SDL in the program, a fake in tests).
// Key-downs, characters and key-ups become the console's key codes, the
// Braille keyboard's chords, the text size and the magnifier's view, as the
// console's keyboard handling orders them. The cells are the largest that
// fit the window, times the text size the user chose.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "console/frontend.h"
#include "console/key_notation.h"
#include "console/script_frontend.h"
#include "console/text_console.h"
#include "console/window_device.h"

namespace quipular {

class WindowFrontend : public LiveFrontend {
 public:
  // Keys given on the command line are typed as if at the keyboard, before
  // anything the user types. sound says whether tones and beeps are heard.
  WindowFrontend(std::unique_ptr<WindowDevice> device, KeyScript scripted, bool sound);
  // The title says the program has ended, unless the window was closed.
  ~WindowFrontend() override;
  // Opens the window (shown when the console opens); false with the reason.
  bool Start(std::string& error);
  void PumpEvents(int timeout_ms) override;
  void Present() override;
  bool CtrlLetterHeld(char letter) override;
  void SetTitle(const std::string& title) override;
  void Beep() override;
  void StartTone(int hz) override;
  void StopTone() override;

  // Told after each Present that drew something (for measurements).
  void (*drawn_observer)() = nullptr;

 private:
  void Handle(const WindowEvent& event);
  bool KeyDown(const WindowEvent& event);
  void KeyUp(const WindowEvent& event);
  void Character(unsigned char c, char ctrl_letter);
  void Queue(unsigned char code, bool extended, char ctrl_letter);
  void SyncTags();
  void PadTags();
  void SwitchBraille();
  bool ScrollPixels();
  bool DrawChanges();
  void ShowCaret();
  void Magnify(int x, int y);
  void FollowFocus();
  void Zoom(int steps);
  void ToggleLens();
  int FittingHeight(PixelSize area);
  void Fit();
  void PlaceView();
  void Redraw();
  void Colours(unsigned char attribute, Rgb& fore, Rgb& back) const;
  PixelRect Visible() const;
  void FocusPoint(int& x, int& y) const;

  std::unique_ptr<WindowDevice> device_;
  ScriptedKeys scripted_;
  bool sound_;
  bool started_ = false;
  bool shown_ = false;    // the window is on screen
  bool closing_ = false;  // the user closed it: nothing more is drawn
  bool focus_ = false;    // the window has the keyboard
  CellMetrics cell_;
  PixelSize window_;       // the window's inside
  int fixed_height_ = 0;   // ALTURALETRA: the cell size the settings fix (0: none)
  int fixed_width_ = 0;    // LARGURALETRA with it (0: the face's proportions)
  int text_size_ = 100;    // percent of the fitting cells
  PixelSize fitted_area_;  // the area the fitting height was last found for
  int fitted_height_ = 0;
  int origin_x_ = 0, origin_y_ = 0;  // where the 80 x 25 cells lie in the window
  bool high_contrast_ = false;       // ALTOCONTRASTE
  // What the window shows, to draw only what changed.
  unsigned char shown_chars_[kRows * kColumns];
  unsigned char shown_attrs_[kRows * kColumns];
  bool shown_valid_ = false;
  int scrolled_seen_ = 0;  // g_console.scrolled when last drawn
  PixelRect caret_;        // where the caret is drawn; w == 0 when hidden
  Rgb caret_colour_;
  bool suppress_text_ = false;  // the last key-down was taken whole: its text is not a key
  int pending_braille_ = -1;    // a Braille mode asked for while events were handled
  bool switching_braille_ = false;
  bool magnifying_ = false;  // the right mouse button is held
  bool lens_ = false;        // the magnifier's key has it follow the focus
  // The Ctrl letter of each byte in the key queue, and of the last one taken
  // from it: Ctrl+M and Ctrl+T are told from Ctrl+Enter by the key they came
  // from, however long they waited in the queue.
  std::deque<char> tags_;
  char dispatched_tag_ = 0;
  bool tone_playing_ = false;
};

// The window front-end on the SDL module's window; null, with the reason,
// when it cannot open (no display, no module, no font).
std::unique_ptr<WindowFrontend> OpenWindowFrontend(KeyScript scripted, bool sound,
                                                   std::string& error);

}  // namespace quipular
