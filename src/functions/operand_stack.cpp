// Operand stack operations.
#include "functions/operand_stack.h"

#include <algorithm>

namespace quipular {

void PushValue(OperandStack& stack, double value) {
  stack.levels.push_back(value);
}

bool PopValue(OperandStack& stack, double& value) {
  if (stack.levels.empty()) return false;
  value = stack.levels.back();
  stack.levels.pop_back();
  return true;
}

void TrimStack(OperandStack& stack) {
  if (stack.levels.size() > 4) stack.levels.erase(stack.levels.begin(), stack.levels.end() - 4);
}

void EmptyStack(OperandStack& stack) {
  stack.levels.clear();
}

void RollValues(OperandStack& stack) {
  size_t n = std::min<size_t>(stack.levels.size(), 4);
  if (n < 2) return;
  // Top n levels, X last: X takes Y, Y takes Z, ..., the deepest takes X.
  auto first = stack.levels.end() - static_cast<long>(n);
  std::rotate(first, stack.levels.end() - 1, stack.levels.end());
}

}  // namespace quipular
