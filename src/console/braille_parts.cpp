// The console's hooks set to the Braille display and the chord keyboard.
#include "console/braille_parts.h"

#include "console/braille_display.h"
#include "console/braille_keyboard.h"
#include "console/console_hooks.h"

namespace quipular {

void AttachBrailleParts() {
  g_braille = BrailleKeyboard{};
  // The display stays connected; what it showed belongs to the last run.
  BrailleDisplay& display = g_braille_display;
  BrailleDisplay kept = display;
  display = BrailleDisplay{};
  display.device = kept.device;
  display.width = kept.width;
  display.lost = kept.lost;
  g_console_hooks = {&UpdateBrailleDisplay, &g_braille_display.device, &PollBrailleDisplay,
                     &SetBrailleMode};
}

}  // namespace quipular
