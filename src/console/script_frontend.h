// The script front-end: keys from key notation, a virtual clock, no drawing.
// A key is handed over only when the program waits for one with an empty
// queue, as a user who listens to every prompt would.
#pragma once

#include <vector>

#include "console/frontend.h"
#include "console/key_notation.h"

namespace quipular {

class ScriptFrontend : public Frontend {
 public:
  explicit ScriptFrontend(std::vector<KeyGroup> groups) : groups_(std::move(groups)) {}
  void PumpEvents(int timeout_ms) override;
  void Present() override {}
  bool CtrlLetterHeld(char letter) override { return held_ == letter; }
  uint64_t NowMs() override { return clock_ms_; }
  void Sleep(int ms) override { clock_ms_ += static_cast<uint64_t>(ms); }
  void SetTitle(const std::string&) override {}
  void Beep() override {}
  void StartTone(int) override {}
  void StopTone() override {}

 private:
  std::vector<KeyGroup> groups_;
  size_t next_ = 0;        // the next group to hand over
  uint64_t clock_ms_ = 0;  // virtual time
  char held_ = 0;          // the letter held with Ctrl for the last key handed over
};

// Hands one scripted key to the console: queues its codes, or carries out a
// break, a window close or a quit event. Shared by the front-ends.
void DeliverScriptKey(const ScriptKey& key);

}  // namespace quipular
