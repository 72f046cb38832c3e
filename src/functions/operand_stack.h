// The operand stack: X on top, then Y, Z and T. A push may briefly make a
// fifth level; the next stack display trims it.
#pragma once

#include <vector>

namespace quipular {

struct OperandStack {
  std::vector<double> levels;  // levels.back() is X
};

void PushValue(OperandStack& stack, double value);
// False when the stack is empty (value is then left unchanged).
bool PopValue(OperandStack& stack, double& value);
// Drops every level below the fourth.
void TrimStack(OperandStack& stack);
void EmptyStack(OperandStack& stack);
// Moves the values down one level within the top four (X gets Y's value).
void RollValues(OperandStack& stack);

}  // namespace quipular
