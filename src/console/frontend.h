// The small interface every front-end (script, terminal, window) offers the
// screen model: events, drawing, key state, title, beep and tone.
#pragma once

#include <cstdint>
#include <string>

namespace quipular {

class Frontend {
 public:
  virtual ~Frontend() = default;
  // Takes pending events (keys go to the console's queue with QueueKey);
  // waits at most timeout_ms for one when timeout_ms > 0.
  virtual void PumpEvents(int timeout_ms) = 0;
  // Brings the display up to date with the screen model.
  virtual void Present() = 0;
  // Whether Ctrl and the given capital letter are held as the last key came.
  virtual bool CtrlLetterHeld(char letter) = 0;
  // Milliseconds on this front-end's clock (virtual for scripts).
  virtual uint64_t NowMs() = 0;
  // Lets time pass, pumping events; the script front-end only moves its clock.
  virtual void Sleep(int ms) = 0;
  virtual void SetTitle(const std::string& title) = 0;
  virtual void Beep() = 0;
  virtual void StartTone(int hz) = 0;
  virtual void StopTone() = 0;
  // Whether Ctrl+M cannot be told from Enter here (a terminal sends 13 for
  // both), so that the console's Ctrl+M is typed as Ctrl+J.
  virtual bool CtrlMIsEnter() const { return false; }
  // A line the user must read, handed over as it is shown (a message, the
  // focus moving to a menu item, a key-test row, a row being narrated), in
  // Windows-1252 with its blanks cut; a front-end that writes a stream of
  // lines writes it, the others draw the screen.
  virtual void Line(const std::string& text) { (void)text; }
};

// A front-end a person uses: the monotonic clock, and sleeps that go on
// taking events.
class LiveFrontend : public Frontend {
 public:
  uint64_t NowMs() override;
  void Sleep(int ms) override;
};

}  // namespace quipular
