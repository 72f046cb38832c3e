// The examples chosen in the menu's last three columns: the interactive
// examples and the dispatcher that starts any example.
#pragma once

#include "calculator/operands.h"
#include "guidance/repeat_question.h"

namespace quipular {

// Runs the example of a menu row (2 = first item) in the column of kind "u"
// (interactive), "U" (illustrated) or "o" (financial and statistical); an
// interactive example computes on the calculator's operands. Answers
// kBackToList, kToCalculator or kNoExample.
ExampleEnd RunExample(char kind, int row, Operands& operands);

}  // namespace quipular
