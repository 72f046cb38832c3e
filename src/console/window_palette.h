// The window's colours: the console's sixteen, the high-contrast pairs
// drawn instead of them when asked for, and the caret's colour, all judged
// by the contrast ratio of their relative luminances.
#pragma once

#include "console/window_device.h"

namespace quipular {

// The console's sixteen colours as the window draws them by default.
extern const Rgb kConsolePalette[16];

// Relative luminance, 0 (black) to 1 (white), of an sRGB colour.
double RelativeLuminance(Rgb c);

// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black
// and white.
double ContrastRatio(Rgb a, Rgb b);

// Text over a background as the high-contrast palette draws it: the
// lighter of the two made light and the darker dark, each keeping its hue,
// so that every pair stands at least 7:1 apart and light text stays light.
// A pair of one colour (nothing to read) is left alone.
void HighContrastPair(Rgb& fore, Rgb& back);

// The caret's colour over a cell of fore over back: of a few plain colours,
// the one furthest in contrast from the nearer of the two.
Rgb CaretColour(Rgb fore, Rgb back);

}  // namespace quipular
