// The guidance screen of the examples and the key test.
#pragma once

namespace quipular {

enum class GuidanceScreen { kKeyTest, kInteractiveExamples, kIllustratedExamples };

// The guidance screen, titled for the key test or a kind of example.
void ShowGuidanceScreen(GuidanceScreen screen);

}  // namespace quipular
