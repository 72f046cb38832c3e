// The lines front-end: the calculator as a plain scrolling stream of text for
// screen readers in a terminal. Each line the user must read is written once
// as a line of its own; the prompt and the typed characters are echoed on the
// current line. Keys, raw mode and its restoring are the terminal front-end's.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "console/terminal_frontend.h"

namespace quipular {

class LinesFrontend : public TerminalFrontend {
 public:
  explicit LinesFrontend(KeyScript scripted);
  // Writes what is still pending and ends the open line, so that the shell
  // starts on a line of its own.
  ~LinesFrontend() override;
  void Present() override;
  void Line(const std::string& text) override;
  // A title, a bell or a tone would be control codes: the voice says all.
  void SetTitle(const std::string&) override {}
  void Beep() override {}

 private:
  // Brings the echo of the cursor's row up to date on the current line.
  void Echo(std::string& out);

  std::vector<std::string> pending_;     // lines handed over since the last Present
  std::string last_line_;                // the line written last
  bool open_ = false;                    // the terminal's cursor is past the start of a line
  bool echoing_ = false;                 // the current line echoes the cursor's row
  std::pair<int, int> echo_row_{-1, 0};  // that row: the console's clears, and its row counted
                                         // from the first ever scrolled off
  std::string echoed_;                   // what the echo has written on the current line
};

// A line as the terminal is given it: UTF-8, with every byte that is not a
// printable character shown as a blank.
std::string PrintableLine(const std::string& cp1252);

}  // namespace quipular
