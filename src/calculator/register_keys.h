// The keys that name registers: STO and RCL with their one- or two-key
// register names, and the number of decimals.
#pragma once

#include <optional>

namespace quipular {

// STO: stores x in the named storage register; false when the name was left
// with Esc or refused (error 6 reported).
bool StoreRegister(double x);
// RCL: the value of the named register (storage or financial); none when
// nothing is to be pushed.
std::optional<double> RecallRegister();
// Reads a digit 0 to 9 as the number of decimals.
void ChooseDecimals();

}  // namespace quipular
