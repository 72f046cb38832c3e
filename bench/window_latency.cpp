// Measures, in the process, how soon a typed key is seen: from the key's
// event reaching the window's event queue to its echo drawn on the window
// and handed to the display. The calculator runs as a user starts it, on
// the real SDL window (a display is needed: bench/run_window_bench.sh starts
// Xvfb where there is none); keys alternate a digit and Backspace at the
// operand prompt. It also measures the start: from opening the window to
// its first picture drawn. Usage: window_latency [keys]
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app.h"
#include "console/program_exit.h"
#include "console/text_console.h"
#include "console/window_frontend.h"
#include "voice/audio_devices.h"

extern "C" quipular::WindowDevice* QuipularNewSdlWindow();

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point g_sent;         // when the last key's events were queued
std::vector<double> g_latencies;  // ms from each key to its echo drawn
bool g_waiting_for_echo = false;
Clock::time_point g_opening;  // when the window began to open
double g_first_drawn = -1;    // ms from then to the first picture drawn

void Drawn() {
  if (g_first_drawn < 0)
    g_first_drawn = std::chrono::duration<double, std::milli>(Clock::now() - g_opening).count();
  if (!g_waiting_for_echo) return;
  g_waiting_for_echo = false;
  g_latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - g_sent).count());
}

void PushKey(SDL_Keycode sym, const char* text) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.state = SDL_PRESSED;
  e.key.keysym.sym = sym;
  e.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
  SDL_PushEvent(&e);
  if (text) {
    SDL_Event t{};
    t.type = SDL_TEXTINPUT;
    SDL_strlcpy(t.text.text, text, sizeof t.text.text);
    SDL_PushEvent(&t);
  }
  e.type = SDL_KEYUP;
  e.key.state = SDL_RELEASED;
  SDL_PushEvent(&e);
}

// The window front-end, with a typist who presses the next key as soon as
// the program waits for one and the last echo has been drawn.
class Typist : public quipular::Frontend {
 public:
  Typist(quipular::WindowFrontend& window, int keys) : window_(window), keys_(keys) {}
  void PumpEvents(int timeout_ms) override {
    if (quipular::g_console.waiting_for_key && quipular::g_console.queued == 0 &&
        !g_waiting_for_echo && started_) {
      if (typed_ == keys_) throw quipular::ProgramExit{quipular::kExitNormal};
      bool digit = typed_++ % 2 == 0;
      PushKey(digit ? SDLK_5 : SDLK_BACKSPACE, digit ? "5" : nullptr);
      g_sent = Clock::now();
      g_waiting_for_echo = true;
    }
    // The first prompt is reached: from now on keys are timed.
    if (quipular::g_console.waiting_for_key) started_ = true;
    window_.PumpEvents(timeout_ms);
  }
  void Present() override { window_.Present(); }
  bool CtrlLetterHeld(char letter) override { return window_.CtrlLetterHeld(letter); }
  uint64_t NowMs() override { return window_.NowMs(); }
  void Sleep(int ms) override { window_.Sleep(ms); }
  void SetTitle(const std::string& title) override { window_.SetTitle(title); }
  void Beep() override { window_.Beep(); }
  void StartTone(int hz) override { window_.StartTone(hz); }
  void StopTone() override { window_.StopTone(); }

 private:
  quipular::WindowFrontend& window_;
  int keys_;
  int typed_ = 0;
  bool started_ = false;
};

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * v.size()))];
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quipular;
  int keys = argc > 1 ? std::atoi(argv[1]) : 200;
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
    std::fprintf(stderr, "window_latency needs a display (run bench/run_window_bench.sh)\n");
    return 2;
  }
  g_opening = Clock::now();
  WindowFrontend window(std::unique_ptr<WindowDevice>(QuipularNewSdlWindow()), {}, false);
  std::string error;
  if (!window.Start(error)) {
    std::fprintf(stderr, "window_latency: %s\n", error.c_str());
    return 1;
  }
  window.drawn_observer = &Drawn;
  Typist typist(window, keys);
  NullAudioDevice audio;
  RunQuipular(typist, audio);
  std::printf(
      "key to echo drawn on the window: %zu keys, median %.3f ms, 95th percentile %.3f ms, "
      "worst %.3f ms (goal under 5 ms)\n",
      g_latencies.size(), Percentile(g_latencies, 0.5), Percentile(g_latencies, 0.95),
      Percentile(g_latencies, 1.0));
  std::printf("window opened to its first picture drawn: %.1f ms (goal under 150 ms)\n",
              g_first_drawn);
  return 0;
}
