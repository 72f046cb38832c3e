// The examples chosen in the menu's last three columns: the interactive
// examples, the dispatcher that starts any example, and the repeat question.
#pragma once

namespace quipular {

// Runs the example of a menu row (2 = first item) in the column of kind "u"
// (interactive), "U" (illustrated) or "o" (financial and statistical).
void RunExample(char kind, int row);

// " Deseja repetir o Exemplo (s/n)? ": true to run the example again. "n"
// sets the menu redraw flag (back to the list of examples); Esc draws the
// calculation screen.
bool AskRepeatExample();

}  // namespace quipular
