// Fuzz target: arbitrary key streams, extended codes included, through the
// whole program from a clean state each run.
#include <cstddef>
#include <cstdint>

#include "app.h"
#include "byte_frontend.h"
#include "voice/audio_devices.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quipular::ByteFrontend frontend(data, size);
  quipular::RecordingAudioDevice audio;
  quipular::RunQuipular(frontend, audio);
  return 0;
}
