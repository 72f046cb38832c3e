// Terminal input decoding: the bytes a terminal sends for a key (plain
// characters, UTF-8, escape sequences in xterm, vt220 and Linux console
// forms) become the console's key codes. Pure, so it can be tested alone.
#pragma once

#include <string>
#include <string_view>

namespace quipular {

struct TerminalKey {
  enum Kind {
    kNeedMore,  // a sequence has begun and is not finished: wait for more bytes
    kCodes,     // queue codes (possibly none: the key means nothing here)
    kBreak,     // Ctrl+C: the program ends as with Ctrl+Break
  } kind = kCodes;
  int used = 0;          // bytes of the input this key takes (0 with kNeedMore)
  std::string codes;     // key codes to queue: one byte, or 0 and an extended code
  char ctrl_letter = 0;  // the capital letter held with Ctrl, as far as the bytes tell
};

// Decodes the first key in input. complete says no more bytes are on their
// way (the short wait after an Esc has passed): a lone Esc is then the Esc
// key and an unfinished sequence is taken as it stands, never kNeedMore.
TerminalKey DecodeTerminalKey(std::string_view input, bool complete);

}  // namespace quipular
