// Measures, in the process, how soon a key is heard: from a key arriving to
// the first sample of its echo reaching the audio device, and from a key
// arriving during a prompt to silence, for the pack as it is (16-bit,
// 22050 Hz) and for the same prompts as 8-bit 11025 Hz waves. Then how long
// a prompt takes to decode, and the memory with every prompt of the pack
// passed through the cache. Runs on SDL audio (set SDL_AUDIODRIVER=disk where
// there is no sound card) with the voice pack.
// Usage: audio_latency VOICE_PACK [buffer samples ...]
#include <SDL.h>
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "console/frontend.h"
#include "console/text_console.h"
#include "voice/audio_devices.h"
#include "voice/named_sounds.h"
#include "voice/sdl_audio_device.h"
#include "voice/wave_cache.h"
#include "voice/wave_format.h"
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

void Measure(const std::string& pack, const char* what, int buffer) {
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
  int rate = device.obtained.rate;
  StopWave();
  SetAudioDevice(nullptr);
  if (buffer <= 0) buffer = rate > 11025 ? 256 : 128;  // the device's own choice
  std::printf(
      "%s, buffer %4d samples (%.1f ms): key to echo median %.2f ms, "
      "key to silence median %.2f ms\n",
      what, buffer, buffer * 1000.0 / std::max(rate, 1), Median(echo), Median(silence));
}

std::vector<std::string> Files(const std::string& dir) {
  std::vector<std::string> files;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') files.push_back(dir + e->d_name);
    closedir(d);
  }
  return files;
}

// The prompts the latency is measured with, as 8-bit 11025 Hz waves (every
// other sample's high byte) in a pack of their own.
std::string EightBitPack(const std::string& pack) {
  char templ[] = "/tmp/quipular-bench-pack-XXXXXX";
  std::string root = mkdtemp(templ);
  for (const char* dir : {"/orbela", "/orbela/som", "/orbela/som/letras", "/orbela/som/quipular"})
    mkdir((root + dir).c_str(), 0700);
  for (const char* name : {"letras/_53", "quipular/DOnada", "quipular/DOSALUDOINI"}) {
    auto wave = quipular::LoadWave(pack + "/orbela/som/" + name + ".wav");
    std::vector<uint8_t> image(44);
    size_t frame = wave ? static_cast<size_t>(wave->channels * wave->bits / 8) : 1;
    for (size_t i = 0; wave && i + 2 * frame <= wave->data.size(); i += 2 * frame)
      image.push_back(wave->bits == 16 ? static_cast<uint8_t>(wave->data[i + 1] ^ 0x80)
                                       : wave->data[i]);
    quipular::WriteWordHeader(image.data(), static_cast<uint32_t>(image.size() - 44),
                              wave ? wave->rate / 2 : 11025);
    std::ofstream(root + "/orbela/som/" + name + ".wav", std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
  }
  return root;
}

// Decoding every prompt of the pack, each read afresh; then the memory of
// the process with the cache full.
void Decoding(const std::string& pack) {
  using namespace quipular;
  std::vector<std::string> files = Files(pack + "/orbela/som/letras/");
  for (const std::string& f : Files(pack + "/orbela/som/quipular/"))
    if (f.size() > 4 && f.compare(f.size() - 4, 4, ".wav") == 0) files.push_back(f);
  std::vector<double> ms;
  double seconds = 0, longest_seconds = 0;
  ResetWaveCache();
  for (const std::string& f : files) {
    ResetWaveCache();
    auto start = Clock::now();
    auto wave = LoadWave(f);
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    if (!wave) continue;
    double s =
        static_cast<double>(wave->data.size()) / (wave->rate * wave->channels * wave->bits / 8);
    seconds += s;
    longest_seconds = std::max(longest_seconds, s);
  }
  std::printf(
      "decoding %zu prompts (%.0f s of speech): median %.2f ms, longest %.2f ms "
      "(the longest prompt is %.0f s)\n",
      files.size(), seconds, Median(ms), *std::max_element(ms.begin(), ms.end()), longest_seconds);
  ResetWaveCache();
  for (const std::string& f : files) LoadWave(f);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  std::printf(
      "cache full: %zu prompts kept, %.1f MiB of samples; resident %.1f MiB "
      "(this bench, SDL audio open), peak %.1f MiB\n",
      g_wave_cache.entries.size(), g_wave_cache.bytes / 1048576.0,
      resident * (sysconf(_SC_PAGESIZE) / 1048576.0), usage.ru_maxrss / 1024.0);
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
  std::string eight = EightBitPack(argv[1]);
  for (int b : buffers) {
    Measure(argv[1], "16-bit 22050 Hz", b);
    Measure(eight, " 8-bit 11025 Hz", b);
  }
  std::system(("rm -rf " + eight).c_str());
  Decoding(argv[1]);
  return 0;
}
