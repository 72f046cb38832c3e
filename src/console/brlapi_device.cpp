// The BrlAPI client: a connection that takes the display and writes text
// through the server's text table. On a Linux console it holds its virtual
// terminal, so that the display follows the user's switching; elsewhere (a
// terminal emulator, a window, a script) it takes the root of the tty tree,
// which no focus report is needed for. Every call is bounded in time: a
// server that does not answer is a display that is not there.
#include <brlapi.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

#include "console/bounded_call.h"
#include "console/braille_device.h"
#include "console/translate.h"

namespace quipular {
namespace {

constexpr const char* kNoAnswer = kDisplayNoAnswer;

// The error of the last BrlAPI call on this thread (BrlAPI keeps one a thread).
std::string LastError() {
  const char* text = brlapi_strerror(&brlapi_error);
  return text ? text : _("BrlAPI error");
}

// A packet the server refused or did not understand: the library calls this
// instead of aborting the program, and the call that found it fails with an
// end-of-file error, which gives the display up.
void BRLAPI_STDCALL Exception(int, brlapi_packetType_t, const void*, size_t) {}

// The text as UTF-8, the charset every write names.
std::string Utf8Text(const std::wstring& text) {
  std::string out;
  for (wchar_t w : text) {
    auto c = static_cast<uint32_t>(w);
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = '?';
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// What a call on the call's own thread gives back.
struct Outcome {
  int value = -1;     // the call's result; below 0 on an error
  uint64_t key = 0;   // the key read
  std::string error;  // why it failed
};

class BrlapiDevice : public BrailleDevice {
 public:
  explicit BrlapiDevice(unsigned width) : width_(static_cast<int>(width)) {}
  ~BrlapiDevice() override { Close(); }
  bool Close() override {
    // A connection whose server stopped answering is left as it is: the
    // library still waits on it, and the end of the process closes it.
    if (hung_ || closed_) return !hung_;
    closed_ = true;
    // Closing the connection hands the display back: the server lets go of
    // a client's terminal when the client goes. Asking for it first would
    // wait for an answer that a busy server may give only seconds later.
    auto left = CallWithTimeLimit<int>([] {
      brlapi_closeConnection();
      return 0;
    });
    if (!left) {
      hung_ = true;
      error_ = kNoAnswer;
    }
    return !hung_;
  }
  int Width() override { return width_; }
  bool Write(const std::wstring& text, int cursor) override {
    if (hung_) return false;
    // Only the cells given are written (a region), never the whole width
    // the server reports: a display that says it has thousands of cells
    // gets one screen line.
    std::string utf8 = Utf8Text(text);
    int cells = static_cast<int>(text.size());
    auto done = CallWithTimeLimit<Outcome>([utf8, cells, cursor] {
      Outcome o;
      brlapi_writeArguments_t arguments = BRLAPI_WRITEARGUMENTS_INITIALIZER;
      arguments.regionBegin = 1;
      arguments.regionSize = cells;
      arguments.text = utf8.c_str();
      arguments.textSize = static_cast<int>(utf8.size());
      arguments.cursor = cursor > 0 ? cursor : BRLAPI_CURSOR_OFF;
      arguments.charset = "UTF-8";
      o.value = brlapi_write(&arguments);
      if (o.value < 0) o.error = LastError();
      return o;
    });
    return Took(done);
  }
  int ReadKey(uint64_t& code) override {
    if (hung_) return -1;
    auto done = CallWithTimeLimit<Outcome>([] {
      Outcome o;
      brlapi_keyCode_t key = 0;
      o.value = brlapi_readKey(0, &key);
      o.key = key;
      if (o.value < 0) o.error = LastError();
      return o;
    });
    if (!Took(done)) return -1;
    code = done->key;
    return done->value > 0 ? 1 : 0;
  }
  std::string Error() override { return error_; }
  bool Hung() override { return hung_; }

 private:
  // Whether a call came back in time and succeeded; notes why not.
  bool Took(const std::optional<Outcome>& done) {
    if (!done) {
      hung_ = true;
      error_ = kNoAnswer;
      return false;
    }
    if (done->value < 0) {
      error_ = done->error;
      return false;
    }
    return true;
  }

  int width_;
  bool hung_ = false;    // a call did not come back in time
  bool closed_ = false;  // the display has been given back
  std::string error_;
};

}  // namespace
}  // namespace quipular

extern "C" __attribute__((visibility("default"))) quipular::BrailleDevice*
QuipularOpenBrailleDevice(const char* host, std::string& error) {
  using quipular::Outcome;
  std::string server = host ? host : "";
  const char* tty = ttyname(STDIN_FILENO);
  bool console = tty && std::strncmp(tty, "/dev/tty", 8) == 0 &&
                 std::isdigit(static_cast<unsigned char>(tty[8]));
  brlapi_setExceptionHandler(&quipular::Exception);
  auto opened = quipular::CallWithTimeLimit<Outcome>([server, console] {
    Outcome o;
    brlapi_connectionSettings_t wanted = {nullptr, server.empty() ? nullptr : server.c_str()};
    if (brlapi_openConnection(&wanted, nullptr) < 0) {
      o.error = quipular::LastError();
      return o;
    }
    unsigned width = 0, height = 0;
    if (brlapi_getDisplaySize(&width, &height) < 0 || width == 0 ||
        ((!console || brlapi_enterTtyMode(BRLAPI_TTY_DEFAULT, nullptr) < 0) &&
         brlapi_enterTtyModeWithPath(nullptr, 0, nullptr) < 0)) {
      o.error = width == 0 && brlapi_error.brlerrno == 0 ? quipular::_("the display has no cells")
                                                         : quipular::LastError();
      brlapi_closeConnection();
      return o;
    }
    // The program never writes more than one screen line.
    o.value = static_cast<int>(std::min(width, 80u));
    return o;
  });
  if (!opened) {
    error = quipular::kNoAnswer;
    return nullptr;
  }
  if (opened->value <= 0) {
    error = opened->error;
    return nullptr;
  }
  return new quipular::BrlapiDevice(static_cast<unsigned>(opened->value));
}
