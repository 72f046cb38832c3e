// Flags shared by the command cycle and the guidance screens.
#pragma once

namespace quipular {

struct Session {
  int label_background = 4;           // background of labels: 4, or 2 while an example runs
  bool interactive_examples = false;  // the example running is an interactive one
  bool menu_redraw = false;           // the user asked to go back to the list of examples
};

extern Session g_session;

}  // namespace quipular
