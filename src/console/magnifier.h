// The magnifier: while the right mouse button is held, the part of the
// console around the mouse is shown stretched over the whole window.
#pragma once

namespace quipular {

struct PixelRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const PixelRect&) const = default;
};

// The factor from the AMPLIF setting's low three bits; 0 means the default 2.
int MagnifierFactor(int setting);

// The part of a width x height console shown stretched while the mouse is at
// (x, y): width / factor by height / factor, its top-left corner at
// (x - x / factor, y - y / factor), so the point under the mouse stays under
// it. A mouse outside the console counts as on its nearest edge.
PixelRect MagnifierSource(int x, int y, int factor, int width, int height);

}  // namespace quipular
