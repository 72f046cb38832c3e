// The BrlAPI client: a connection that takes the display and writes text
// through the server's text table. On a Linux console it holds its virtual
// terminal, so that the display follows the user's switching; elsewhere (a
// terminal emulator, a window, a script) it takes the root of the tty tree,
// which no focus report is needed for.
#include <brlapi.h>
#include <unistd.h>

#include <cctype>
#include <cstring>

#include "console/braille_device.h"
#include "console/no_sigpipe.h"
#include "console/translate.h"

namespace quipular {
namespace {

std::string LastError() {
  const char* text = brlapi_strerror(&brlapi_error);
  return text ? text : _("BrlAPI error");
}

class BrlapiDevice : public BrailleDevice {
 public:
  explicit BrlapiDevice(unsigned width) : width_(static_cast<int>(width)) {}
  ~BrlapiDevice() override {
    NoSigpipe guard;
    brlapi_leaveTtyMode();
    brlapi_closeConnection();
  }
  int Width() override { return width_; }
  bool Write(const std::wstring& text, int cursor) override {
    NoSigpipe guard;
    if (brlapi_writeWText(cursor > 0 ? cursor : BRLAPI_CURSOR_OFF, text.c_str()) == 0) return true;
    error_ = LastError();
    return false;
  }
  int ReadKey(uint64_t& code) override {
    NoSigpipe guard;
    brlapi_keyCode_t key = 0;
    int got = brlapi_readKey(0, &key);
    if (got < 0) {
      error_ = LastError();
      return -1;
    }
    code = key;
    return got > 0 ? 1 : 0;
  }
  std::string Error() override { return error_; }

 private:
  int width_;
  std::string error_;
};

}  // namespace
}  // namespace quipular

extern "C" __attribute__((visibility("default"))) quipular::BrailleDevice*
QuipularOpenBrailleDevice(const char* host, std::string& error) {
  quipular::NoSigpipe guard;
  brlapi_connectionSettings_t wanted = {nullptr, host && *host ? host : nullptr};
  if (brlapi_openConnection(&wanted, nullptr) < 0) {
    error = quipular::LastError();
    return nullptr;
  }
  unsigned width = 0, height = 0;
  const char* tty = ttyname(STDIN_FILENO);
  bool console = tty && std::strncmp(tty, "/dev/tty", 8) == 0 &&
                 std::isdigit(static_cast<unsigned char>(tty[8]));
  if (brlapi_getDisplaySize(&width, &height) < 0 || width == 0 ||
      ((!console || brlapi_enterTtyMode(BRLAPI_TTY_DEFAULT, nullptr) < 0) &&
       brlapi_enterTtyModeWithPath(nullptr, 0, nullptr) < 0)) {
    error = width == 0 && brlapi_error.brlerrno == 0 ? quipular::_("the display has no cells")
                                                     : quipular::LastError();
    brlapi_closeConnection();
    return nullptr;
  }
  return new quipular::BrlapiDevice(width);
}
