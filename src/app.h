// Runs Quipular on a front-end from a clean state, to its end; shared by
// main, the fuzz targets and the benchmarks.
#pragma once

#include "console/frontend.h"

namespace quipular {

// Resets every module's state, runs the calculator on the front-end until
// the program ends, and returns the exit code.
int RunQuipular(Frontend& frontend);

}  // namespace quipular
