// What the console tells the parts beside it without naming them: the
// Braille display follows each present and has its keys polled while the
// console waits, and the chord keyboard takes its mode when the console
// reads its settings. The program's top sets them (RunQuipular), as it hands
// the calculator its guidance; unset, the console has no Braille parts.
#pragma once

namespace quipular {

class BrailleDevice;

struct ConsoleHooks {
  void (*presented)() = nullptr;  // the screen was presented (called while a display is held)
  // Where the Braille display keeps its device: a display is held while
  // that is not null. The console looks at every wait, so it is a pointer
  // to read, not a function to call.
  BrailleDevice* const* display = nullptr;
  void (*poll_display)() = nullptr;                   // takes the display's keys without waiting
  void (*settings_read)(int braille_mode) = nullptr;  // the chord keyboard's mode from them
};

extern ConsoleHooks g_console_hooks;

}  // namespace quipular
