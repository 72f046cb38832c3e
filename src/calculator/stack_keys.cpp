// The stack keys' table.
#include "calculator/stack_keys.h"

namespace quipular {
namespace {

using A = StackAction;
using M = MenuColumnId;

// clang-format off
constexpr StackKeyRow kStackKeys[] = {
    {kKeyF1, kKeyF9, 0, 0, A::kHelpInMenu, "Tecla de Ajuda", "DOF1",
     "F", '1', "Ajuda",
     {"F", kKeyTestWriteKey, kKeyTestOwn, "DOfuncion", kKeyTestWriteRest, "DOF1-F9"}},
    {kKeyRight, kKeyRight, 0, 0, A::kSayX, "Primer Registro da Pilha", "DOPilaPrimero",
     "Seta para a direita", 0, "Comando", {"DOSetaD", "DOfuncion", "DOPilaPrimero"},
     M::kCommands, {{"PRIMER REG. PILHA ", "DOPilaprimero", "DOayudaPilaPrimero", 80}}},
    {kKeyLeft, kKeyLeft, 0, 0, A::kSayStack, "Registros da Pilha", "DOXYZT",
     "Seta para a esquerda", 0, "Comando", {"DOSetaE", "DOfuncion", "DOXYZT"},
     M::kCommands, {{"REG. PILHA", "DOXYZT", "DOayudaXYZT", 70}}},
    {kKeyDown, kKeyDown, 0, 0, A::kRollDown, "Rolagem da Pila", "DOROTAPILA",
     "Seta para baixo", 0, "Comando", {"DOSetaB", "DOfuncion", "DOROTAPILA"},
     M::kCommands, {{"RP", "DOrotapila", "DOayudaRP", 60}}},
    {kKeyUp, kKeyUp, 0, 0, A::kSwapXY, "Troca X por Y", "DOCAMBIAXY",
     "Seta para cima", 0, "Comando", {"DOSetaC", "DOfuncion", "DOCAMBIAXY"},
     M::kCommands, {{"X<>Y", "DOcambiaxy", "DOayudaXY", 50}}},
    // The fractional-period item names the mode that PgUp steps.
    {kKeyPgUp, kKeyPgUp, 0, 0, A::kNextInterestMode, "Tipo de periodo", nullptr,
     "PGUP", 0, "Reg. Financeiros", {"DOSetaPGUP", "DOfuncion", "DOPGUP"},
     M::kFinancialRegisters,
     {{"S/N PERIODO FRACC.", "DOPERIODOFRACC", "DOayudaPERIODOFRACC", 120}}},
    {kNoExtendedKey, kNoExtendedKey, kCtrlEnter, 'M', A::kSwitchPaymentMode,
     "Modo de Pagamento BEG/END", nullptr,
     "CTRL + M", 0, "Reg. Financeiros", {"DOControl", "m", "DOfuncion", "DOArmazena", "DOBEGEND"},
     M::kFinancialRegisters,
     {{"BEG", "DOBEG", "DoayudaBEG", 100}, {"END", "DOEND", "DoayudaEND", 110}}},
};
// clang-format on

}  // namespace

std::span<const StackKeyRow> StackKeys() {
  return kStackKeys;
}

const StackKeyRow* FindStackKey(ExtendedKey key) {
  if (key == kNoExtendedKey) return nullptr;
  for (const StackKeyRow& s : kStackKeys)
    if (s.first != kNoExtendedKey && key >= s.first && key <= s.last) return &s;
  return nullptr;
}

}  // namespace quipular
