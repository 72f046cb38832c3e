// The console's hooks set to the Braille display and the chord keyboard.
#include "console/braille_parts.h"

#include "console/braille_display.h"
#include "console/braille_keyboard.h"
#include "console/console_hooks.h"

namespace quipular {

void AttachBrailleParts() {
  g_braille = BrailleKeyboard{};
  g_console_hooks = {&UpdateBrailleDisplay, &g_braille_display.device, &PollBrailleDisplay,
                     &SetBrailleMode};
}

}  // namespace quipular
