// The keys at the operand prompt that act on the stack and the modes rather
// than on the number being typed: the arrows, PgUp and Ctrl+M.
#pragma once

#include "functions/operand_stack.h"

namespace quipular {

// "Operando: " on the labels' background; what follows is white on black.
void WritePromptLabel(int background);

// Ctrl+M: END becomes BEG and back, written on a line of its own and said.
void SwitchPaymentMode();

// The second code of an extended key at the prompt, as the stack keys'
// table has it (calculator/stack_keys.h): F1 to F9 say their
// help is in the menu; Right says X, Left the whole stack; Down rolls the
// stack and Up swaps X and Y, each logged and the label written again; PgUp
// moves to the next interest mode. True when the prompt is to start again.
bool StackKey(OperandStack& stack, unsigned char code, int label_background);

}  // namespace quipular
