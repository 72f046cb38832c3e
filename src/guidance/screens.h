// The fixed screens (start-up, calculation, guidance) and the exit dialogue.
#pragma once

namespace quipular {

void ShowStartupScreen();
// Clears and draws the calculation screen; the cursor is left at column 1,
// row 11, where the prompt goes.
void ShowCalculationScreen();
void ShowGuidanceScreen();
// The exit dialogue: ends the program, or returns with the calculation
// screen drawn.
void ConfirmExit();

}  // namespace quipular
