// The window's colours and their contrast ratios.
#include "console/window_palette.h"

#include <algorithm>
#include <cmath>

namespace quipular {

const Rgb kConsolePalette[16] = {
    {0, 0, 0},       {0, 0, 255},     {0, 255, 0},     {0, 255, 255},
    {255, 0, 0},     {142, 0, 142},   {68, 34, 34},    {192, 192, 192},
    {128, 128, 128}, {128, 128, 255}, {128, 255, 128}, {128, 255, 255},
    {255, 128, 128}, {255, 128, 255}, {255, 255, 0},   {255, 255, 255},
};

namespace {

// The luminances the high-contrast pairs keep to: (0.5 + 0.05) / (0.02 +
// 0.05) is 7.9, above 7:1 with room for rounding to whole channel values.
constexpr double kLight = 0.5;
constexpr double kDark = 0.02;

double Linear(uint8_t channel) {
  double c = channel / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

uint8_t Mix(uint8_t from, uint8_t to, double t) {
  return static_cast<uint8_t>(std::lround(from + (to - from) * t));
}

// The colour moved toward white, in small steps, until it is light enough.
Rgb Lighten(Rgb c) {
  Rgb out = c;
  for (int step = 1; RelativeLuminance(out) < kLight && step <= 20; ++step) {
    double t = step / 20.0;
    out = Rgb{Mix(c.r, 255, t), Mix(c.g, 255, t), Mix(c.b, 255, t)};
  }
  return out;
}

// The colour moved toward black until it is dark enough.
Rgb Darken(Rgb c) {
  Rgb out = c;
  for (int step = 1; RelativeLuminance(out) > kDark && step <= 20; ++step) {
    double t = step / 20.0;
    out = Rgb{Mix(c.r, 0, t), Mix(c.g, 0, t), Mix(c.b, 0, t)};
  }
  return out;
}

// The dark green stands 4.4:1 from both white and black, so white on black
// (most of the screen) gets it, apart from the red of the prompt's label.
constexpr Rgb kCaretColours[] = {
    {255, 0, 0}, {255, 255, 0}, {0, 255, 255},   {255, 0, 255}, {0, 140, 0},
    {0, 0, 255}, {255, 128, 0}, {255, 255, 255}, {0, 0, 0},
};

}  // namespace

double RelativeLuminance(Rgb c) {
  return 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b);
}

double ContrastRatio(Rgb a, Rgb b) {
  double la = RelativeLuminance(a), lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void HighContrastPair(Rgb& fore, Rgb& back) {
  if (fore == back) return;
  if (RelativeLuminance(fore) >= RelativeLuminance(back)) {
    fore = Lighten(fore);
    back = Darken(back);
  } else {
    fore = Darken(fore);
    back = Lighten(back);
  }
}

Rgb CaretColour(Rgb fore, Rgb back) {
  Rgb best = kCaretColours[0];
  double best_ratio = 0;
  for (Rgb c : kCaretColours) {
    double ratio = std::min(ContrastRatio(c, fore), ContrastRatio(c, back));
    if (ratio > best_ratio) {
      best = c;
      best_ratio = ratio;
    }
  }
  return best;
}

}  // namespace quipular
