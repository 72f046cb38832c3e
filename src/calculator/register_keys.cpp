// STO, RCL and the decimals key: keys read after the command, echoed and
// spoken, Esc offering the exit question.
#include "calculator/register_keys.h"

#include <string>

#include "calculator/command_actions.h"
#include "calculator/key_map.h"
#include "calculator/spoken_results.h"
#include "calculator/working_screen.h"
#include "console/key_codes.h"
#include "console/text_console.h"
#include "functions/registers.h"
#include "voice/named_sounds.h"

namespace quipular {
namespace {

bool IsGroupKey(unsigned char k) {
  return k == '.' || (k >= 'a' && k <= 'h');
}

void Echo(unsigned char k) {
  ConsoleWrite(std::string(1, static_cast<char>(k)));
}

// Esc at a register key: nothing changes; the exit question is offered.
void Abandon() {
  g_registers.store_abandoned = true;
  ConfirmExit();
}

// Reads the register name after STO or RCL. Returns the storage element,
// -1 when abandoned or refused (error 6 reported), or -2 - key for a
// financial key that RCL accepts when financial is set.
int ReadRegisterName(bool financial, double x_to_speak, bool speak_x) {
  unsigned char first = ReadKey();
  if (first == kEsc) {
    Abandon();
    return -1;
  }
  if (financial && std::string("nipmvk").find(static_cast<char>(first)) != std::string::npos)
    return -2 - first;
  if (IsDigit(first)) {
    Echo(first);
    if (speak_x) SpeakNumber(x_to_speak);
    PlaySoundKey("DOregistro");
    SpellCharacter(first);
    return StorageIndex(0, static_cast<char>(first));
  }
  if (IsGroupKey(first)) {
    Echo(first);
    unsigned char second = ReadKey();
    if (second == kEsc) {
      Abandon();
      return -1;
    }
    if (second == 0) ReadKey();  // an extended key is one wrong key
    if (!IsDigit(second)) {
      ConsoleWriteLine();
      ReportError(6);
      g_registers.store_abandoned = true;
      return -1;
    }
    if (speak_x) SpeakNumber(x_to_speak);
    PlaySoundKey("DOregistro");
    Echo(second);
    SpellCharacter(first);
    SpellCharacter(second);
    return StorageIndex(static_cast<char>(first), static_cast<char>(second));
  }
  if (first == 0) ReadKey();
  ConsoleWriteLine();
  ReportError(6);
  return -1;
}

}  // namespace

int StoreRegister(double x) {
  g_registers.store_abandoned = false;
  int index = ReadRegisterName(false, x, true);
  if (index >= 0) {
    g_registers.storage[index] = x;
    return 0;
  }
  return g_registers.store_abandoned ? 0 : 1;
}

double RecallRegister() {
  Registers& r = g_registers;
  r.store_abandoned = false;
  int index = ReadRegisterName(true, 0, false);
  if (index >= 0) return r.storage[index];
  if (index == -1) {
    r.store_abandoned = true;
    return r.result;
  }
  char key = static_cast<char>(-2 - index);
  AnnounceCommand(std::string(1, key));
  switch (key) {
    case 'n':
      return r.financial[kN];
    case 'i':
      return r.financial[kI] * 100;
    case 'p':
      return r.financial[kPV];
    case 'm':
      return r.financial[kPMT];
    case 'v':
      return r.financial[kFV];
    default:
      return r.cf_next >= 2 ? r.cash_flows[r.cf_next - 2] : 0;
  }
}

void ChooseDecimals() {
  for (;;) {
    unsigned char k = ReadKey();
    if (k == kEsc) {
      ConfirmExit();
      return;
    }
    if (k == 0) ReadKey();  // an extended key is one wrong key
    if (!IsDigit(k)) {
      PlaySoundKey("DOdecimais");
      continue;
    }
    g_registers.decimals = k - '0';
    Echo(k);
    ConsoleWriteLine();
    SpeakNumber(k - '0');
    Pause(300);
    PlaySoundKey("DOCR");
    return;
  }
}

}  // namespace quipular
