// The console layer's state between calls.
#include "console/console_state.h"

namespace quipular {

ConsoleState g_console_state;

}  // namespace quipular
