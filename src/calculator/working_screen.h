// The calculator's own screens (start-up, calculation), the exit dialogue,
// and the banner the guidance screens draw too.
#pragma once

#include <string>

#include "quipular_build.h"

namespace quipular {

constexpr const char* kProductLine = "QUIPULAR - v." QUIPULAR_VERSION;
constexpr const char* kCreditLine = "Equipe Quipular";

// The background of the labels ("Operando: ", the screen's headings): blue
// in the calculator, green while an example runs.
constexpr int kLabelBackground = 4;
constexpr int kExampleLabelBackground = 2;

void ShowStartupScreen();
// Clears and draws the calculation screen; the cursor is left at column 1,
// row 11, where the prompt goes.
void ShowCalculationScreen();
// The exit dialogue: ends the program, or returns with the calculation
// screen drawn.
void ConfirmExit();

// Pieces of the screens: a cleared text screen, the colours, the product
// name in large letters, and a line written at a place.
void ClearConsole();
void Colours(int fore, int back);
void WriteBanner();
void WriteAt(int column, int row, const std::string& text);

}  // namespace quipular
