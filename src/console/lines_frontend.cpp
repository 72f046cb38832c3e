// The lines front-end: lines handed over by the console written as they come,
// and the cursor's row echoed by difference, with nothing but printable text,
// CR, LF and BS reaching the terminal.
#include "console/lines_frontend.h"

#include <algorithm>

#include "console/text_console.h"
#include "console/text_encoding.h"

namespace quipular {

std::string PrintableLine(const std::string& cp1252) {
  std::string out;
  for (char ch : cp1252) {
    auto c = static_cast<unsigned char>(ch);
    uint32_t code_point = Cp1252CodePoint(c);
    if (c < 32 || c == 127 || (code_point >= 0x80 && code_point < 0xA0))
      out += ' ';
    else
      out += Utf8Char(c);
  }
  return out;
}

LinesFrontend::LinesFrontend(KeyScript scripted) : TerminalFrontend(std::move(scripted), false) {}

LinesFrontend::~LinesFrontend() {
  if (!started()) return;
  Present();
  if (open_) Write("\r\n");
}

void LinesFrontend::Line(const std::string& text) {
  pending_.push_back(text);
}

void LinesFrontend::Present() {
  if (!started()) return;
  std::string out;
  for (const std::string& line : pending_) {
    // The same line handed over again with nothing between (the focus set
    // anew on an unchanged menu item) is not written twice.
    if (line == last_line_ && !echoing_) continue;
    if (echoing_ && !echoed_.empty() && line.compare(0, echoed_.size(), echoed_) == 0) {
      // A message that completes the line being echoed (a store confirmed
      // at its prompt) is written as the rest of that line.
      out += PrintableLine(line.substr(echoed_.size()));
    } else {
      if (open_) out += "\r\n";
      out += PrintableLine(line);
    }
    open_ = true;
    echoing_ = false;
    echoed_.clear();
    last_line_ = line;
  }
  pending_.clear();
  Echo(out);
  if (!out.empty()) Write(out);
}

// While a message or focus line holds, it stays the last line written: the
// prompt after a result is echoed once the user types at it.
void LinesFrontend::Echo(std::string& out) {
  const TextConsole& c = g_console;
  if (c.focus_row != 0) return;
  // The row to the cursor, or to its last character beyond the cursor (the
  // "0" that the first digit typed replaces).
  std::string text(reinterpret_cast<const char*>(c.chars) + c.row * kColumns, kColumns);
  size_t end = text.find_last_not_of(' ') + 1;
  text.resize(std::max(end, static_cast<size_t>(std::min(c.column, kColumns))));
  text.erase(0, std::min(text.find_first_not_of(' '), text.size()));
  std::pair<int, int> row{c.clears, c.scrolled + c.row};
  if (!echoing_ || row != echo_row_) {
    if (text.empty()) return;
    if (open_) out += "\r\n";
    open_ = true;
    echoing_ = true;
    echo_row_ = row;
    echoed_.clear();
  }
  size_t same = 0;
  while (same < echoed_.size() && same < text.size() && echoed_[same] == text[same]) ++same;
  for (size_t i = same; i < echoed_.size(); ++i) out += "\b \b";
  out += PrintableLine(text.substr(same));
  echoed_ = text;
}

}  // namespace quipular
