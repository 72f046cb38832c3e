// What the Braille display needs of a BrlAPI connection: the display's width,
// one line written with its cursor, and the keys read from the display. The
// BrlAPI module (libquipular_brlapi.so) provides it; none of its calls takes
// more than a few seconds, whatever the server does.
#pragma once

#include <cstdint>
#include <string>

namespace quipular {

class BrailleDevice {
 public:
  virtual ~BrailleDevice() = default;
  // Cells on the display's line.
  virtual int Width() = 0;
  // Shows text (one character a cell, as many as the display is wide) with
  // the cursor on a cell (1-based; 0 for none), through the server's text
  // table; false when the connection is lost.
  virtual bool Write(const std::wstring& text, int cursor) = 0;
  // Takes a key without waiting: 1 with its BrlAPI code, 0 when none is
  // waiting, -1 when the connection is lost.
  virtual int ReadKey(uint64_t& code) = 0;
  // Why the last call failed.
  virtual std::string Error() = 0;
  // Whether the last call failed because the server did not answer in time.
  virtual bool Hung() = 0;
  // Gives the display back to the server; false when it did not answer.
  virtual bool Close() = 0;
};

// The module's entry point: a connection to the server at host (null or
// empty: BRLAPI_HOST, else the local default) that has taken the display,
// or null with the reason in error.
using OpenBrailleDeviceFunction = BrailleDevice* (*)(const char* host, std::string& error);

}  // namespace quipular
