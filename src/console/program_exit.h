// The one way out of the program: every ending (the exit dialogue, a closed
// window, Ctrl+Break, a script that ran out of keys) unwinds to main.
#pragma once

#include <string>

#include "console/console_state.h"

namespace quipular {

struct ProgramExit {
  int code;  // the process exit code
};

[[noreturn]] inline void ExitProgram(int code) {
  throw ProgramExit{code};
}

// Exit codes shared by the front-ends.
constexpr int kExitNormal = 0;
constexpr int kExitBreak = 255;
constexpr int kExitScriptEnded = 3;
constexpr int kExitVoiceFailed = 1;     // the voice could not start
constexpr int kExitOutputFailed = 4;    // a --screen, --speech or --state file could not be written
constexpr int kExitBadCommandLine = 2;  // a bad option, key text or keys file
constexpr int kExitOutOfMemory = 5;     // memory ran out (the log on disk is kept)

// Every code the program ends with, for --help and the manual page to name.
constexpr int kExitCodes[] = {kExitNormal,      kExitBreak,        kExitScriptEnded,
                              kExitVoiceFailed, kExitOutputFailed, kExitBadCommandLine,
                              kExitOutOfMemory};

// What the program has to tell on standard error as it ends: main writes it
// there once the front-end has given the terminal back, so that it stays on
// the terminal after the end.
inline std::string& ExitMessage() {
  return g_console_state.exit_message;
}

}  // namespace quipular
