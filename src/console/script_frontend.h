// The script front-end: keys from key notation, a virtual clock, no drawing.
// A key is handed over only when the program waits for one with an empty
// queue, as a user who listens to every prompt would.
#pragma once

#include "console/frontend.h"
#include "console/key_notation.h"
#include "console/text_console.h"

namespace quipular {

// Hands one scripted key to the console: queues its codes, or carries out a
// break, a window close or a quit event.
void DeliverScriptKey(const ScriptKey& key);

// Keys given in key notation, handed over a group at a time when the program
// waits for a key with an empty queue, as a user who listens to every prompt
// would. Shared by the front-ends.
class ScriptedKeys {
 public:
  explicit ScriptedKeys(KeyScript script) : script_(std::move(script)) {}
  bool Done() const { return script_.Done(); }
  // Whether the program waits for a key with nothing queued.
  static bool Due() { return g_console.waiting_for_key && g_console.queued == 0; }
  // Hands over the next group when one is due and remains, telling
  // `delivered` after each key; true when a group went.
  template <typename Delivered>
  bool HandOver(Delivered delivered) {
    if (Done() || !Due()) return false;
    KeyGroup group;
    if (!script_.Next(group)) return false;
    for (const ScriptKey& key : group) {
      DeliverScriptKey(key);
      delivered(key);
    }
    return true;
  }

 private:
  KeyScript script_;
};

class ScriptFrontend : public Frontend {
 public:
  explicit ScriptFrontend(KeyScript script) : keys_(std::move(script)) {}
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
  ScriptedKeys keys_;
  uint64_t clock_ms_ = 0;  // virtual time
  char held_ = 0;          // the letter held with Ctrl for the last key handed over
};

}  // namespace quipular
