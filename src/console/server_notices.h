// What the user must be told about a server that stopped answering or went
// away (the Braille display's, speech-dispatcher's): found deep inside a
// call, it waits here until the calculator, between two commands, writes it
// on the screen and says it.
#pragma once

#include <string>
#include <vector>

namespace quipular {

struct ServerNotice {
  std::string text;   // the screen line, Windows-1252
  std::string sound;  // the sound key that says it
};

void PostServerNotice(std::string text, std::string sound);
// The notices posted since the last call, oldest first.
std::vector<ServerNotice> TakeServerNotices();

}  // namespace quipular
