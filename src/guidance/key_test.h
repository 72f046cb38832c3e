// The key test (Ctrl+T): every key is named on screen and aloud with the
// function it carries and its group; nothing is calculated.
#pragma once

namespace quipular {

// Runs until Ctrl+T or Esc.
void RunKeyTest();

}  // namespace quipular
