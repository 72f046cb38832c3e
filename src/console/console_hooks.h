// What the console tells the parts beside it without naming them: the
// Braille display follows each present and has its keys polled while the
// console waits, and the chord keyboard takes its mode when the console
// reads its settings. The program's top sets them (RunQuipular), as it hands
// the calculator its guidance; unset, the console has no Braille parts.
#pragma once

namespace quipular {

struct ConsoleHooks {
  void (*presented)() = nullptr;                      // the screen was presented
  bool (*display_held)() = nullptr;                   // a Braille display is held
  void (*poll_display)() = nullptr;                   // takes the display's keys without waiting
  void (*settings_read)(int braille_mode) = nullptr;  // the chord keyboard's mode from them
};

extern ConsoleHooks g_console_hooks;

}  // namespace quipular
