// The arrows, PgUp and Ctrl+M at the operand prompt.
#include "calculator/prompt_keys.h"

#include "calculator/calculation_log.h"
#include "calculator/model.h"
#include "calculator/spoken_results.h"
#include "calculator/stack_display.h"
#include "calculator/stack_keys.h"
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

namespace {

// PgUp: says the interest mode it leaves and moves to the next.
void NextInterestMode() {
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
}

}  // namespace

void SwitchPaymentMode() {
  double& mode = g_registers.financial[kPaymentMode];
  bool end = mode == 0;
  ConsoleWriteMessage(end ? "BEG" : "END");
  PlaySoundKey(end ? "DOBEG" : "DOEND");
  mode = end ? 1 : 0;
}

bool StackKey(OperandStack& stack, unsigned char code, int label_background) {
  auto& levels = stack.levels;
  const StackKeyRow* key = FindStackKey(ExtendedKeyOfCode(code));
  if (!key) return false;
  switch (key->action) {
    case StackAction::kHelpInMenu:
      PlaySoundKey(key->sound);
      return false;
    case StackAction::kNextInterestMode:
      NextInterestMode();
      return true;
    case StackAction::kSwitchPaymentMode:
      return false;  // typed with Ctrl, never after the extended-key prefix
    default:
      break;
  }
  if (levels.empty()) {
    PlaySoundKey("DOnada");
    return false;
  }
  if (key->action == StackAction::kSayX) {
    PlaySoundKey(key->sound);
    SpellCharacter('X');
    Pause(200);
    KeepDecimalsFor(levels.back());
    SpeakNumber(levels.back());
  } else if (key->action == StackAction::kSayStack) {
    PlaySoundKey(key->sound);
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
  } else {  // the moves that change the stack
    LogCommand(key->name);
    ConsoleWriteMessage(key->name);
    PlaySoundKey(key->sound);
    Pause(300);
    if (key->action == StackAction::kRollDown)
      RollDown(stack);
    else
      SwapXY(stack);
    WritePromptLabel(label_background);
    PlaySoundKey("DOOPERANDO");
  }
  return false;
}

}  // namespace quipular
