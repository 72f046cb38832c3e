// The calculator's own screens: start-up and calculation, the banner they
// share with the guidance, and the exit dialogue with the offer to save the
// calculation log.
#include "calculator/working_screen.h"

#include <string>

#include "calculator/calculation_log.h"
#include "console/key_codes.h"
#include "console/program_exit.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "voice/named_sounds.h"
#include "voice/voice_settings.h"

namespace quipular {
namespace {

// The product name in large letters: seven lines of 56 characters.
constexpr const char* kBanner[7] = {
    " ***   *   *  *****  ****   *   *  *       ***   ****   ",
    "*   *  *   *    *    *   *  *   *  *      *   *  *   *  ",
    "*   *  *   *    *    *   *  *   *  *      *   *  *   *  ",
    "*   *  *   *    *    ****   *   *  *      *****  ****   ",
    "* * *  *   *    *    *      *   *  *      *   *  * *    ",
    "*  *   *   *    *    *      *   *  *      *   *  *  *   ",
    " ** *   ***   *****  *       ***   *****  *   *  *   *  ",
};

}  // namespace

void ClearConsole() {
  SetScreenMode(1);
  ClearScreen();
}

void Colours(int fore, int back) {
  SetTextColour(fore);
  SetBackgroundColour(back);
}

void WriteBanner() {
  for (const char* line : kBanner) ConsoleWriteLine(line);
}

void WriteAt(int column, int row, const std::string& text) {
  MoveCursor(column, row);
  ConsoleWriteLine(text);
}

namespace {

// Reads the answer to a yes/no question: 's', 'n' or Esc (27). Any other
// key, an extended key counted once, plays the invalid-key prompt.
unsigned char YesNo() {
  for (;;) {
    unsigned char k = ReadKey();
    if (k == 's' || k == 'S' || k == 'n' || k == 'N' || k == kEsc) return k;
    if (k == kExtendedPrefix) ReadKey();
    PlaySoundKey("DOTECLAINV");
  }
}

void ClearRows(int from, int to) {
  for (int row = from; row <= to; ++row) {
    MoveCursor(1, row);
    ClearToEndOfLine();
  }
}

// The banner on blue and the product lines beside it, on a cleared screen;
// the cursor is left at column 1, row 9.
void DrawHeader() {
  ClearConsole();
  Colours(15, 1);
  WriteBanner();
  Colours(15, kLabelBackground);
  WriteAt(60, 3, kProductLine);
  WriteAt(60, 4, kCreditLine);
  Colours(15, 0);
  MoveCursor(1, 9);
}

}  // namespace

void ShowStartupScreen() {
  DrawHeader();
  ShowMessage(3, 60);  // the product's name, greeting the user
  SetUpVoice();
  PlaySoundKey("DOSALUDOINI");
}

void ShowCalculationScreen() {
  DrawHeader();
  Colours(15, kLabelBackground);
  WriteAt(30, 9, "  CALCULOS FEITOS  ");
  Colours(15, 0);
  ConsoleWriteLine(std::string(80, '-'));
  MoveCursor(1, 11);
  SetUpVoice();
}

void ConfirmExit() {
  ClearRows(9, 50);
  ShowCalculationScreen();
  Colours(15, 1);
  ConsoleWrite("CONFIRMA SAIDA (s/n)? ");
  PlaySoundKey("DOSALIDA");
  Colours(15, 0);
  unsigned char k = YesNo();
  if (k == kEsc || k == 'n' || k == 'N') {
    if (k != kEsc) {
      ConsoleWrite(std::string(1, static_cast<char>(k)));
      SpellCharacter(k);
    }
    Pause(300);
    PlaySoundKey("DORegresoCalc");
    ShowCalculationScreen();
    return;
  }
  ConsoleWriteLine(std::string(1, static_cast<char>(k)));
  SpellCharacter(k);
  MoveCursor(1, 12);
  ClearToEndOfLine();
  Colours(15, 1);
  ConsoleWrite("QUER SALVAR O ARQUIVO (s/n)? ");
  PlaySoundKey("DOarchsalva");
  Colours(15, 0);
  k = YesNo();
  if (k == kEsc) {
    PlaySoundKey("DORegresoCalc");
    ShowCalculationScreen();
    return;
  }
  ConsoleWriteLine(std::string(1, static_cast<char>(k)));
  SpellCharacter(k);
  if (k == 's' || k == 'S') {
    bool saved = SaveCalculationLog();
    ShowCalculationScreen();
    if (!saved) return;
    Colours(15, kLabelBackground);
    WriteAt(28, 11, "!! ARQUIVO GRAVADO !! ");
    ShowMessage(11, 28);
    Colours(15, 0);
    PlaySoundKey("DOarchGrava");
  } else {
    DeleteCalculationLog();
  }
  Pause(300);
  ClearRows(11, 12);
  Colours(15, 1);
  MoveCursor(26, 11);
  ConsoleWrite("FIM DA CALCULADORA QUIPULAR");
  ShowMessage(11, 26);
  PlaySoundKey("DOSALUDOFIN");
  ExitProgram(kExitNormal);
}

}  // namespace quipular
