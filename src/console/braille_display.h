// The Braille display through BrlAPI: one line of the screen (the focus line)
// with the cursor cell, panned when longer than the display, and the
// display's keys typed into the console's key queue.
#pragma once

#include <cstdint>
#include <string>

#include "console/braille_device.h"

namespace quipular {

// What a key of the display asks for.
struct BrailleInput {
  enum Kind {
    kNone,         // nothing for the program
    kKey,          // a key code for the queue
    kExtendedKey,  // an extended key (0, then the code)
    kPanLeft,      // the window one display width to the left
    kPanRight,     // ... to the right
    kLineUp,       // show the row above that holds text, until the next key or focus
    kLineDown,     // ... the row below
    kTop,          // ... the first row that holds text
    kBottom,       // ... the last
    kRoute,        // say the character under a routing key (value: the cell, from 0)
  } kind = kNone;
  int value = 0;
  bool operator==(const BrailleInput&) const = default;
};

// A BrlAPI key code as the program takes it.
BrailleInput TranslateBrailleKey(uint64_t code);

struct BrailleDisplay {
  BrailleDevice* device = nullptr;  // the connection; null when no display is held
  int width = 0;                    // cells on the display
  int row = 0;                      // the screen row shown last (1-based), 0 before
  int cursor = 0;                   // the cursor within the line shown last (1-based), 0: none
  int pan = 0;                      // the first column of the line on the display (from 0)
  int length = 0;                   // the length of the line shown last, trailing blanks cut
  bool panned = false;              // the panning keys moved the window on this line
  int first_column = 1;             // where the line shown last starts on its row (1-based)
  std::string line;                 // the line shown last, whole (Windows-1252)
  std::wstring shown;               // the text on the display
  int shown_cursor = -1;            // the cursor cell on the display, 0 for none
  std::string lost;                 // why the display was given up, said at exit
};

extern BrailleDisplay g_braille_display;

// Takes the display unless QUIPULAR_BRAILLE is "off", from the server that
// BRLAPI_HOST names, else the local one. False when there is none, with the
// line to write on standard error when the user asked for a display (empty
// otherwise, or when the display was left alone).
bool OpenBrailleDisplay(bool asked, std::string& message);
// Gives the display back; a server that does not answer is noted in lost.
void CloseBrailleDisplay();

// Shows the focus line: a row the display's line keys moved to, else the
// focus line or message, else the cursor's row with the cursor.
void UpdateBrailleDisplay();
// Takes the display's keys without waiting. A lost connection is given up.
void PollBrailleDisplay();

}  // namespace quipular
