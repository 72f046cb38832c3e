// The spoken menu of every function (Ctrl+F): nine columns moved through with
// the function and arrow keys; the chosen function's key code is handed back.
#pragma once

#include "calculator/operand_entry.h"

namespace quipular {

// Runs the menu until an item is chosen or Esc is pressed; its examples
// compute on the operands. Answers the key code of the chosen function; "u",
// "U" or "o" after an example run from its column; kNothingChosen when
// nothing was chosen.
MenuAnswer RunMenu(Operands& operands);

}  // namespace quipular
