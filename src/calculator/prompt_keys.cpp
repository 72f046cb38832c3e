// The arrows, PgUp and Ctrl+M at the operand prompt.
#include "calculator/prompt_keys.h"

#include "calculator/calculation_log.h"
#include "calculator/model.h"
#include "calculator/spoken_results.h"
#include "calculator/stack_display.h"
#include "console/key_codes.h"
#include "console/text_console.h"
#include "voice/named_sounds.h"

namespace quipular {

void WritePromptLabel(int background) {
  SetBackgroundColour(background);
  SetTextColour(15);
  ConsoleWrite("Operando: ");
  SetBackgroundColour(0);
  SetTextColour(15);
}

void SwitchPaymentMode() {
  double& mode = g_registers.financial[kPaymentMode];
  bool end = mode == 0;
  ConsoleWriteMessage(end ? "BEG" : "END");
  PlaySoundKey(end ? "DOBEG" : "DOEND");
  mode = end ? 1 : 0;
}

bool StackKey(OperandStack& stack, unsigned char code, int label_background) {
  auto& levels = stack.levels;
  if (code >= kF1 && code <= kF1 + 8) {
    PlaySoundKey("DOF1");
  } else if (code == kRight || code == kLeft || code == kDown || code == kUp) {
    if (levels.empty()) {
      PlaySoundKey("DOnada");
    } else if (code == kRight) {
      PlaySoundKey("DOPilaPrimero");
      SpellCharacter('X');
      Pause(200);
      KeepDecimalsFor(levels.back());
      SpeakNumber(levels.back());
    } else if (code == kLeft) {
      PlaySoundKey("DOXYZT");
      static const char kLetters[] = "XYZT";
      for (size_t i = 0; i < levels.size() && i < 4; ++i) {
        SpellCharacter(static_cast<unsigned char>(kLetters[i]));
        Pause(200);
        KeepDecimalsFor(levels[levels.size() - 1 - i]);
        SpeakNumber(levels[levels.size() - 1 - i]);
        Pause(200);
      }
      Pause(100);
      PlaySoundKey("DOOPERANDO");
    } else {
      const char* what = code == kDown ? "Rolagem da Pila" : "Troca X por Y";
      LogCommand(what);
      ConsoleWriteMessage(what);
      PlaySoundKey(code == kDown ? "DOROTAPILA" : "DOCAMBIAXY");
      Pause(300);
      if (code == kDown)
        RollDown(stack);
      else
        SwapXY(stack);
      WritePromptLabel(label_background);
      PlaySoundKey("DOOPERANDO");
    }
  } else if (code == kPgUp) {
    static const struct {
      const char* text;
      const char* sound;
    } kModes[3] = {{"Juros Compostos Periodo Frac.", "DOPeIrregular"},
                   {"Juros Simples Periodo Frac.", "DOPeIrregularSimple"},
                   {"Juros Compostos S/Periodo Frac.", "DOPeRegular"}};
    int mode = static_cast<int>(g_registers.interest_mode);
    if (mode < 0 || mode > 2) mode = 0;
    ConsoleWriteMessage(kModes[mode].text);
    PlaySoundKey(kModes[mode].sound);
    g_registers.interest_mode = (mode + 1) % 3;
    return true;
  }
  return false;
}

}  // namespace quipular
