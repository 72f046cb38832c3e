// The spoken menu of every function (Ctrl+F): nine columns moved through with
// the function and arrow keys; the chosen function's key code is handed back.
#pragma once

namespace quipular {

// Runs the menu until an item is chosen or Esc is pressed. Answers the key
// code of the chosen function; "u", "U" or "o" after an example run from its
// column; 0 when nothing was chosen.
unsigned char RunMenu();

}  // namespace quipular
