// Measures, in the process, how soon a key is heard: from a key arriving to
// the first sample of its echo reaching the audio device, and from a key
// arriving during a prompt to silence. Runs on SDL audio (set
// SDL_AUDIODRIVER=disk where there is no sound card) with the voice pack.
// Usage: audio_latency VOICE_PACK [buffer samples ...]
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "console/frontend.h"
#include "console/text_console.h"
#include "voice/audio_devices.h"
#include "voice/named_sounds.h"
#include "voice/sdl_audio_device.h"
#include "voice/wave_player.h"

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<int64_t> g_first_sound{0};  // ns of the first buffer with sound
std::atomic<int64_t> g_first_quiet{0};  // ns of the first buffer without sound
std::atomic<bool> g_watch_sound{false}, g_watch_quiet{false};

int64_t Now() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
      .count();
}

void Observe(bool sound) {
  if (sound && g_watch_sound.exchange(false)) g_first_sound = Now();
  if (!sound && g_watch_quiet.exchange(false)) g_first_quiet = Now();
}

// Real time; a key is due at a given moment and is queued by the first
// event pump after it, as a keyboard's would be.
class BenchFrontend : public quipular::Frontend {
 public:
  int64_t key_due = 0;  // ns; 0 when no key is coming
  void PumpEvents(int timeout_ms) override {
    if (key_due && Now() >= key_due) {
      quipular::QueueKey('5');
      key_due = 0;
    }
    if (timeout_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  void Present() override {}
  bool CtrlLetterHeld(char) override { return false; }
  uint64_t NowMs() override { return static_cast<uint64_t>(Now() / 1000000); }
  void Sleep(int ms) override {
    int64_t end = Now() + int64_t{ms} * 1000000;
    while (Now() < end) {
      PumpEvents(0);
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
  }
  void SetTitle(const std::string&) override {}
  void Beep() override {}
  void StartTone(int) override {}
  void StopTone() override {}
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

void Measure(const std::string& pack, int buffer) {
  using namespace quipular;
  BenchFrontend frontend;
  SdlAudioDevice device;
  device.buffer_samples = buffer;
  device.fill_observer = &Observe;
  ResetConsole(&frontend);
  SetAudioDevice(&device);
  ResetWavePlayer();
  SetWaveDoneHandler(&WaveDone);
  g_sounds.letters_directory = pack + "/orbela/som/letras/";
  g_sounds.sound_directory = pack + "/orbela/som/quipular/";
  PlaySoundKey("DOnada");  // opens the device
  std::vector<double> echo, silence;
  for (int i = 0; i < 30; ++i) {
    // The echo: the key arrives, is read, and its name is spelled.
    int64_t arrived = Now();
    QueueKey('5');
    g_watch_sound = true;
    unsigned char k = ReadKey();
    SpellCharacter(k);
    echo.push_back((g_first_sound - arrived) / 1e6);
    // A key during a long prompt: from its arrival to silence.
    frontend.key_due = Now() + 200000000;
    g_watch_quiet = false;
    int64_t due = frontend.key_due;
    g_first_quiet = 0;
    // Watch for silence only once the key is due.
    std::thread watcher([due] {
      while (Now() < due) std::this_thread::sleep_for(std::chrono::microseconds(50));
      g_watch_quiet = true;
    });
    PlaySoundKey("DOSALUDOINI");
    watcher.join();
    while (g_first_quiet == 0) std::this_thread::sleep_for(std::chrono::microseconds(100));
    silence.push_back((g_first_quiet - due) / 1e6);
    ReadKey();
  }
  StopWave();
  SetAudioDevice(nullptr);
  if (buffer <= 0) buffer = 128;  // the device's own choice at 11025 Hz
  std::printf(
      "buffer %4d samples (%.1f ms at 11025 Hz): key to echo median %.2f ms, "
      "key to silence median %.2f ms\n",
      buffer, buffer * 1000.0 / 11025, Median(echo), Median(silence));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: audio_latency VOICE_PACK [buffer samples ...]\n");
    return 2;
  }
  std::vector<int> buffers;
  for (int i = 2; i < argc; ++i) buffers.push_back(std::atoi(argv[i]));
  if (buffers.empty()) buffers = {0};
  for (int b : buffers) Measure(argv[1], b);
  return 0;
}
