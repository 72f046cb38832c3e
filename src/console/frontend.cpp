// The clock and the sleep of the front-ends a person uses.
#include "console/frontend.h"

#include <time.h>

#include <algorithm>

namespace quipular {

uint64_t LiveFrontend::NowMs() {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<uint64_t>(t.tv_sec) * 1000 + static_cast<uint64_t>(t.tv_nsec) / 1000000;
}

void LiveFrontend::Sleep(int ms) {
  uint64_t end = NowMs() + static_cast<uint64_t>(std::max(ms, 0));
  for (uint64_t now = NowMs(); now < end; now = NowMs()) PumpEvents(static_cast<int>(end - now));
}

}  // namespace quipular
