// The examples chosen in the menu's last three columns: the interactive
// examples, the dispatcher that starts any example, and the repeat question.
#pragma once

#include "calculator/operands.h"

namespace quipular {

// How an example ends: the repeat question's "s" runs it again, its "n" goes
// back to the menu's list of examples, and its Esc (or the exit dialogue
// declined during an example) to the calculator. kNoExample: the row has
// none.
enum class ExampleEnd : unsigned char { kNoExample, kRepeat, kBackToList, kToCalculator };

// Runs the example of a menu row (2 = first item) in the column of kind "u"
// (interactive), "U" (illustrated) or "o" (financial and statistical); an
// interactive example computes on the calculator's operands. Answers
// kBackToList, kToCalculator or kNoExample.
ExampleEnd RunExample(char kind, int row, Operands& operands);

// " Deseja repetir o Exemplo (s/n)? ": kRepeat, kBackToList or
// kToCalculator (the calculation screen drawn).
ExampleEnd AskRepeatExample();

}  // namespace quipular
