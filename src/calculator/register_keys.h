// The keys that name registers: STO and RCL with their one- or two-key
// register names, and the number of decimals.
#pragma once

namespace quipular {

// STO: stores x in the named storage register. Returns 1 when the first key
// named no register (error 6 reported), else 0; sets store_abandoned on Esc
// or a bad second key.
int StoreRegister(double x);
// RCL: the value of the named register (storage or financial); sets
// store_abandoned when nothing is to be pushed.
double RecallRegister();
// Reads a digit 0 to 9 as the number of decimals.
void ChooseDecimals();

}  // namespace quipular
