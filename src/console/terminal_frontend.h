// The terminal front-end: a raw-mode ANSI terminal with 16 colours and UTF-8
// output; escape sequences become the console's key codes. Only the cells
// that changed are written, and the terminal's cursor follows the console's.
#pragma once

#include <string>
#include <vector>

#include "console/frontend.h"
#include "console/key_notation.h"

namespace quipular {

class TerminalFrontend : public Frontend {
 public:
  // Keys given on the command line are typed as if at the keyboard, before
  // anything the user types.
  explicit TerminalFrontend(std::vector<KeyGroup> scripted);
  ~TerminalFrontend() override;
  // Puts the terminal in raw mode; false (with the reason) when standard
  // input and output are not a terminal.
  bool Start(std::string& error);
  void PumpEvents(int timeout_ms) override;
  void Present() override;
  bool CtrlLetterHeld(char letter) override;
  uint64_t NowMs() override;
  void Sleep(int ms) override;
  void SetTitle(const std::string& title) override;
  void Beep() override;
  void StartTone(int hz) override;
  void StopTone() override;

 private:
  std::vector<KeyGroup> scripted_;
  size_t next_scripted_ = 0;
  bool started_ = false;
  unsigned char last_byte_ = 0;  // the last key byte read, for the Ctrl questions
};

}  // namespace quipular
