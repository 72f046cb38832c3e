// The examples chosen in the menu's last three columns: the interactive
// examples, the dispatcher that starts any example, and the repeat question.
#pragma once

namespace quipular {

struct ExampleChoice {
  int selected_row = 0;  // the menu entry chosen (2 = first item), recorded by the menu
};

extern ExampleChoice g_example;

// Runs the example of the recorded row in the column of kind "u"
// (interactive), "U" (illustrated) or "o" (financial and statistical).
void RunExample(char kind);

// " Deseja repetir o Exemplo (s/n)? ": true to run the example again. "n"
// sets the menu redraw flag (back to the list of examples); Esc draws the
// calculation screen.
bool AskRepeatExample();

}  // namespace quipular
