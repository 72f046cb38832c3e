// Runs Quipular on a front-end from a clean state, to its end; shared by
// main, the fuzz targets and the benchmarks.
#pragma once

#include "console/frontend.h"
#include "voice/audio_device.h"

namespace quipular {

// Resets every module's state, runs the calculator on the front-end and the
// audio device until the program ends, and returns the exit code.
int RunQuipular(Frontend& frontend, AudioDevice& audio);

}  // namespace quipular
