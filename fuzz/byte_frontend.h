// A front-end for fuzzing: keys are raw console key codes taken from a byte
// string, one key (or an extended key's two codes) each time the program
// waits; an odd first byte hands everything over at once, as typing ahead.
#pragma once

#include <cstddef>
#include <cstdint>

#include "console/frontend.h"
#include "console/program_exit.h"
#include "console/text_console.h"

namespace quipular {

class ByteFrontend : public Frontend {
 public:
  ByteFrontend(const uint8_t* data, size_t size) : data_(data), size_(size) {
    if (size_ > 0) {
      type_ahead_ = data_[0] & 1;
      pos_ = 1;
    }
  }
  void PumpEvents(int) override {
    if (!g_console.waiting_for_key || g_console.queued > 0) return;
    if (pos_ >= size_) ExitProgram(kExitScriptEnded);
    do {
      uint8_t k = data_[pos_++];
      last_ = k;
      if (k == 0 && pos_ < size_)
        QueueExtendedKey(data_[pos_++]);
      else
        QueueKey(k);
    } while (type_ahead_ && pos_ < size_ && g_console.queued < kKeyQueueSize - 2);
  }
  void Present() override {}
  bool CtrlLetterHeld(char letter) override { return last_ == (letter & 31); }
  uint64_t NowMs() override { return clock_; }
  void Sleep(int ms) override { clock_ += static_cast<uint64_t>(ms); }
  void SetTitle(const std::string&) override {}
  void Beep() override {}
  void StartTone(int) override {}
  void StopTone() override {}

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool type_ahead_ = false;
  uint8_t last_ = 0;
  uint64_t clock_ = 0;
};

}  // namespace quipular
