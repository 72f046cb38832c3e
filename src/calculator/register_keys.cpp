// STO, RCL and the decimals key: keys read after the command, echoed and
// spoken, Esc offering the exit question.
#include "calculator/register_keys.h"

#include <optional>
#include <string>

#include "calculator/commands.h"
#include "calculator/errors.h"
#include "calculator/key_map.h"
#include "calculator/model.h"
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

// The register named after STO or RCL.
struct RegisterName {
  enum Kind { kStorage, kFinancial, kNone } kind = kNone;
  int index = -1;                    // kStorage: the storage element
  const Command* register_key = {};  // kFinancial: the register key's row
};

// Esc at a register key: nothing changes; the exit question is offered.
RegisterName Abandon() {
  ConfirmExit();
  return {};
}

// Reads the register name after STO or RCL: a storage element, a register
// key that RCL gives back when financial is set (RCL), or none when abandoned
// or refused (error 6 reported).
RegisterName ReadRegisterName(bool financial, double x_to_speak, bool speak_x) {
  unsigned char first = ReadKey();
  if (first == kEsc) return Abandon();
  if (const Command* c = FindCommand(static_cast<char>(first)); financial && c && c->compute.recall)
    return {RegisterName::kFinancial, -1, c};
  if (IsDigit(first)) {
    Echo(first);
    if (speak_x) {
      KeepDecimalsFor(x_to_speak);
      SpeakNumber(x_to_speak);
    }
    PlaySoundKey("DOregistro");
    SpellCharacter(first);
    return {RegisterName::kStorage, StorageIndex(0, static_cast<char>(first))};
  }
  if (IsGroupKey(first)) {
    Echo(first);
    unsigned char second = ReadKey();
    if (second == kEsc) return Abandon();
    if (second == kExtendedPrefix) ReadKey();  // an extended key is one wrong key
    if (!IsDigit(second)) {
      ConsoleWriteLine();
      ReportError(6);
      return {};
    }
    if (speak_x) {
      KeepDecimalsFor(x_to_speak);
      SpeakNumber(x_to_speak);
    }
    PlaySoundKey("DOregistro");
    Echo(second);
    SpellCharacter(first);
    SpellCharacter(second);
    return {RegisterName::kStorage,
            StorageIndex(static_cast<char>(first), static_cast<char>(second))};
  }
  if (first == kExtendedPrefix) ReadKey();
  ConsoleWriteLine();
  ReportError(6);
  return {};
}

}  // namespace

bool StoreRegister(double x) {
  RegisterName name = ReadRegisterName(false, x, true);
  if (name.kind != RegisterName::kStorage) return false;
  g_registers.storage[name.index] = x;
  return true;
}

std::optional<double> RecallRegister() {
  Registers& r = g_registers;
  RegisterName name = ReadRegisterName(true, 0, false);
  if (name.kind == RegisterName::kNone) return std::nullopt;
  if (name.kind == RegisterName::kStorage) return r.storage[name.index];
  AnnounceCommand(std::string(1, name.register_key->key));
  return name.register_key->compute.recall(r);
}

void ChooseDecimals() {
  for (;;) {
    unsigned char k = ReadKey();
    if (k == kEsc) {
      ConfirmExit();
      return;
    }
    if (k == kExtendedPrefix) ReadKey();  // an extended key is one wrong key
    if (!IsDigit(k)) {
      PlaySoundKey("DOdecimais");
      continue;
    }
    SetDecimals(k - '0');
    Echo(k);
    ConsoleWriteLine();
    SpeakNumber(k - '0');
    Pause(300);
    PlaySoundKey("DOCR");
    return;
  }
}

}  // namespace quipular
