// The options' table and --help's text.
#include "command_line.h"

#include <cstring>

#include "console/translate.h"

namespace quipular {
namespace {

constexpr CommandLineOption kOptions[] = {
    {"--window", nullptr}, {"--terminal", nullptr}, {"--lines", nullptr},   {"--headless", nullptr},
    {"--keys", "TEXT"},    {"--keys-file", "FILE"}, {"--screen", "FILE"},   {"--speech", "FILE"},
    {"--state", "FILE"},   {"--help", nullptr},     {"--version", nullptr},
};

}  // namespace

std::span<const CommandLineOption> CommandLineOptions() {
  return kOptions;
}

const CommandLineOption* FindCommandLineOption(const char* name) {
  for (const CommandLineOption& o : kOptions)
    if (std::strcmp(o.name, name) == 0) return &o;
  return nullptr;
}

const char* UsageText() {
  return N_(
      "Usage: quipular [--window | --terminal | --lines | --headless] [options]\n"
      "  --keys TEXT        keys to type, in key notation (implies --headless\n"
      "                     unless a front-end is named)\n"
      "  --keys-file FILE   the same, read from a file\n"
      "  --screen FILE      at exit, the screen: 25 lines, UTF-8\n"
      "  --speech FILE      every prompt as it is asked for, one line each\n"
      "  --state FILE       at exit, the stack and registers, one \"name = value\" a line\n"
      "  --lines            the terminal as a plain stream of lines, for screen readers\n"
      "  --help, --version\n"
      "FILE - is standard output. INTERFACE=JANELA, TERMINAL or LINHAS in the\n"
      "[QUIPULAR] section of VESTRA.INI chooses the front-end when none is named.\n"
      "Key notation: printable characters stand for themselves; named keys in angle\n"
      "brackets: <Enter> <Esc> <BS> <Tab> <Space> <Up> <Down> <Left> <Right> <PgUp>\n"
      "<PgDn> <Home> <End> <Ins> <Del> <F1>..<F12> <lt>, with modifiers <Ctrl+X>\n"
      "<Shift+Ins> <Alt+A> <Ctrl+Enter>; <Ctrl+Alt+F11> and <Ctrl+Alt+F12> switch\n"
      "the Braille keyboard, <Ctrl+Break> breaks, <Close> closes the window and\n"
      "<Quit> is the window system's quit; keys inside { } are typed ahead together.\n"
      "Exit codes: 0 normal end, 255 Ctrl+Break or hang-up, 3 the keys ran out,\n"
      "1 the voice or the terminal could not start, 2 a bad command line,\n"
      "4 a --screen, --speech or --state file could not be written, 5 out of memory.\n");
}

}  // namespace quipular
