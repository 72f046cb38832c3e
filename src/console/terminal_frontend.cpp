// Terminal front-end (raw mode, ANSI output).
#include "console/terminal_frontend.h"

#include <time.h>
#include <unistd.h>

namespace quipular {

TerminalFrontend::TerminalFrontend(std::vector<KeyGroup> scripted)
    : scripted_(std::move(scripted)) {}
TerminalFrontend::~TerminalFrontend() = default;
bool TerminalFrontend::Start(std::string& error) {
  error = "the terminal front-end is not built yet";
  return false;
}
void TerminalFrontend::PumpEvents(int) {}
void TerminalFrontend::Present() {}
bool TerminalFrontend::CtrlLetterHeld(char) {
  return false;
}
uint64_t TerminalFrontend::NowMs() {
  return 0;
}
void TerminalFrontend::Sleep(int) {}
void TerminalFrontend::SetTitle(const std::string&) {}
void TerminalFrontend::Beep() {}
void TerminalFrontend::StartTone(int) {}
void TerminalFrontend::StopTone() {}

}  // namespace quipular
