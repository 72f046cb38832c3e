// The guidance screen, under the banner of the calculator's screens.
#include "guidance/screens.h"

#include "calculator/working_screen.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "voice/voice_settings.h"

namespace quipular {

void ShowGuidanceScreen(GuidanceScreen screen) {
  bool key_test = screen == GuidanceScreen::kKeyTest;
  ClearConsole();
  Colours(15, 5);
  WriteBanner();
  Colours(5, 15);
  WriteAt(60, 3, kProductLine);
  WriteAt(60, 4, kCreditLine);
  WriteAt(65, 6, key_test ? " T. TECLADO " : " EXEMPLOS ");
  Colours(15, 0);
  MoveCursor(1, 9);
  Colours(15, 2);
  MoveCursor(30, 9);
  if (key_test) {
    ConsoleWriteLine(" TEST TECLADO ");
    MoveCursor(1, 11);
    ConsoleWrite("     TECLA     ");
    MoveCursor(26, 11);
    ConsoleWrite(Cp1252("        FUNÇÃO        "));
    MoveCursor(60, 11);
    ConsoleWriteLine("     TIPO     ");
  } else if (screen == GuidanceScreen::kInteractiveExamples) {
    ConsoleWriteLine("  EXEMPLOS INTERATIVOS  ");
  } else {
    ConsoleWriteLine("  EXEMPLOS ILUSTRATIVOS  ");
  }
  Colours(15, 0);
  SetUpVoice();
}

}  // namespace quipular
