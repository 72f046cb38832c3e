// What the calculator's screens share with the guidance: the colour of the
// labels, and whether the user went back to the list of examples. Reset by
// RunQuipular.
#pragma once

namespace quipular {

struct Session {
  int label_background = 4;  // background of labels: 4, or 2 while an example runs
  bool menu_redraw = false;  // the user asked to go back to the list of examples
};

extern Session g_session;

}  // namespace quipular
