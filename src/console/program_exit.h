// The one way out of the program: every ending (the exit dialogue, a closed
// window, Ctrl+Break, a script that ran out of keys) unwinds to main.
#pragma once

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

}  // namespace quipular
