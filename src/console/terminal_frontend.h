// The terminal front-end: a raw-mode ANSI terminal with 16 colours and UTF-8
// output; escape sequences become the console's key codes. Only the cells
// that changed are written, and the terminal's cursor follows the console's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "console/frontend.h"
#include "console/key_notation.h"
#include "console/script_frontend.h"
#include "console/text_console.h"

namespace quipular {

class TerminalFrontend : public LiveFrontend {
 public:
  // Keys given on the command line are typed as if at the keyboard, before
  // anything the user types.
  explicit TerminalFrontend(KeyScript scripted);
  // Restores the terminal as it was before Start.
  ~TerminalFrontend() override;
  // Puts the terminal in raw mode; false (with the reason) when standard
  // input and output are not a terminal.
  bool Start(std::string& error);
  void PumpEvents(int timeout_ms) override;
  void Present() override;
  bool CtrlLetterHeld(char letter) override;
  void SetTitle(const std::string& title) override;
  void Beep() override;
  void StartTone(int hz) override;
  void StopTone() override;
  bool CtrlMIsEnter() const override { return true; }

 protected:
  // draws_screen false: a front-end that writes lines of text instead of
  // drawing the screen (no alternate screen, no cursor addressing).
  TerminalFrontend(KeyScript scripted, bool draws_screen);
  bool started() const { return started_; }
  // Writes every byte to the terminal.
  static void Write(const std::string& bytes);

 private:
  void ReadInput(int timeout_ms);
  void DecodeInput();
  void DrawSizeMessage();
  void DrawChangedCells();
  void MoveTo(int row, int column);

  ScriptedKeys scripted_;
  bool draws_screen_ = true;
  bool started_ = false;
  char held_letter_ = 0;         // the letter held with Ctrl for the last key read
  std::string input_;            // bytes read but not decoded yet (an unfinished sequence)
  uint64_t input_deadline_ = 0;  // when an unfinished sequence is taken as it stands
  bool queue_full_ = false;      // the first key in input_ waits for room in the key queue
  int width_ = kColumns;         // the terminal's size
  int height_ = kRows;
  bool size_known_ = false;     // width_ and height_ hold the current size
  bool shown_valid_ = false;    // shown_* hold what the terminal shows
  bool message_shown_ = false;  // the terminal shows the too-small message
  unsigned char shown_chars_[kRows * kColumns];
  unsigned char shown_colours_[kRows * kColumns];  // background * 16 + foreground, remapped
  int cursor_row_ = -1;                            // the terminal's cursor, -1 when not known
  int cursor_column_ = -1;
  int pen_ = -1;       // the colours in force on the terminal, -1 when not known
  std::string frame_;  // the output being built, written at once
};

}  // namespace quipular
