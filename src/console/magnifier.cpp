// The magnifier's arithmetic.
#include "console/magnifier.h"

#include <algorithm>

namespace quipular {

int MagnifierFactor(int setting) {
  int factor = setting & 7;
  return factor == 0 ? 2 : factor;
}

PixelRect MagnifierSource(int x, int y, int factor, int width, int height) {
  if (factor < 1) factor = 1;
  x = std::clamp(x, 0, width);
  y = std::clamp(y, 0, height);
  return PixelRect{x - x / factor, y - y / factor, width / factor, height / factor};
}

}  // namespace quipular
