// The stack and the registers as "name = value" lines, for --state.
#pragma once

#include <string>

namespace quipular {

std::string StateDump();

}  // namespace quipular
