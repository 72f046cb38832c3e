// Script front-end: hands over the next group of keys when the program waits.
#include "console/script_frontend.h"

#include "console/braille_keyboard.h"
#include "console/program_exit.h"
#include "console/text_console.h"

namespace quipular {

void DeliverScriptKey(const ScriptKey& key) {
  switch (key.kind) {
    case ScriptKey::kBreak:
    case ScriptKey::kQuit:
      ExitProgram(kExitBreak);
    case ScriptKey::kClose:
      CloseConsole();
    case ScriptKey::kBrailleNext:
      SetBrailleMode(g_braille.mode + 1);
      break;
    case ScriptKey::kBrailleOff:
      SetBrailleMode(0);
      break;
    case ScriptKey::kBytes:
      if (key.bytes.size() == 2 && key.bytes[0] == 0)
        QueueExtendedKey(static_cast<unsigned char>(key.bytes[1]));
      else
        for (char b : key.bytes) QueueKey(static_cast<unsigned char>(b));
      break;
  }
}

void ScriptFrontend::PumpEvents(int) {
  if (!ScriptedKeys::Due()) return;
  if (keys_.Done()) ExitProgram(kExitScriptEnded);
  keys_.HandOver([this](const ScriptKey& key) { held_ = key.ctrl_letter; });
}

}  // namespace quipular
