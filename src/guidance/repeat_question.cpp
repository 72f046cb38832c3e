// The question at the end of an example: repeat it, go back to the list,
// or leave for the calculator.
#include "guidance/repeat_question.h"

#include <string>

#include "calculator/working_screen.h"
#include "console/key_codes.h"
#include "console/text_console.h"
#include "voice/named_sounds.h"

namespace quipular {

ExampleEnd AskRepeatExample() {
  Colours(15, 2);
  ConsoleWrite(" Deseja repetir o Exemplo (s/n)? ");
  Pause(300);
  PlaySoundKey("DOSALIDAExemplo");
  Colours(15, 0);
  Pause(100);
  for (;;) {
    unsigned char k = ReadKey();
    std::string typed(1, static_cast<char>(k));
    if (k == 's' || k == 'S') {
      ConsoleWriteLine(typed);
      SpellCharacter(k);
      return ExampleEnd::kRepeat;
    }
    if (k == 'n' || k == 'N') {
      ConsoleWrite(typed);
      SpellCharacter(k);
      Pause(200);
      PlaySoundKey("DORegresoExemplos");
      return ExampleEnd::kBackToList;
    }
    if (k == kEsc) {
      Pause(300);
      PlaySoundKey("DORegresoCalc");
      ShowCalculationScreen();
      return ExampleEnd::kToCalculator;
    }
    // An extended key is one wrong key, its second code included.
    if (k == kExtendedPrefix) ReadKey();
    PlaySoundKey("DOSALIDAExemplo");
  }
}

}  // namespace quipular
