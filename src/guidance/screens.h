// The guidance screen of the examples and the key test.
#pragma once

namespace quipular {

// The key test's screen when key_test, else the examples' screen.
void ShowGuidanceScreen(bool key_test = false);

}  // namespace quipular
