// The question at the end of an example, and how an example ends.
#pragma once

namespace quipular {

// How an example ends: the repeat question's "s" runs it again, its "n" goes
// back to the menu's list of examples, and its Esc (or the exit dialogue
// declined during an example) to the calculator. kNoExample: the row has
// none.
enum class ExampleEnd : unsigned char { kNoExample, kRepeat, kBackToList, kToCalculator };

// " Deseja repetir o Exemplo (s/n)? ": kRepeat, kBackToList or
// kToCalculator (the calculation screen drawn).
ExampleEnd AskRepeatExample();

}  // namespace quipular
