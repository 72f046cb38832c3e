// The Braille display and the chord keyboard, attached to the console.
#pragma once

namespace quipular {

// The chord keyboard starts clean, the display (still connected) forgets
// what it showed, and the console's hooks are set to the
// Braille display (followed at each present, polled while a key is awaited
// and a display is held) and to the keyboard (its mode from the settings).
// Called after ResetConsole.
void AttachBrailleParts();

}  // namespace quipular
