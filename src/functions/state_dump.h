// The stack and the registers as "name = value" lines, for --state.
#pragma once

#include <string>

namespace quipular {

struct OperandStack;
struct Registers;

std::string StateDump(const OperandStack& stack, const Registers& r);

}  // namespace quipular
