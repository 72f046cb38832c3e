// The numbered errors: their messages and prompts.
#pragma once

namespace quipular {

// Writes the message of an error (0, 2, 5, 6, 7 or 8) and plays its prompt;
// any other number does nothing.
void ReportError(unsigned number);

}  // namespace quipular
