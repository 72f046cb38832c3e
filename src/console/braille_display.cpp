// The Braille display: the focus line written through BrlAPI when it changes,
// and the display's keys read between the front-end's events.
#include "console/braille_display.h"

#include <brlapi_constants.h>
#include <brlapi_keycodes.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/bounded_call.h"
#include "console/key_codes.h"
#include "console/sdl_module.h"
#include "console/server_notices.h"
#include "console/text_console.h"
#include "console/text_encoding.h"

namespace quipular {

BrailleDisplay g_braille_display;

namespace {

BrailleDisplay& D() {
  return g_braille_display;
}

// BrlAPI's local server listens on this socket unless BRLAPI_HOST names
// another; where it is missing the module is not even loaded.
constexpr const char* kLocalSocket = "/var/lib/BrlAPI/0";

BrailleInput Key(int code) {
  return {BrailleInput::kKey, code};
}
BrailleInput Extended(int code) {
  return {BrailleInput::kExtendedKey, code};
}

// A character key: the control keys the display's keyboard sends as
// characters, a letter with Ctrl, or a Windows-1252 character.
BrailleInput CharacterKey(uint32_t cp, bool control) {
  constexpr uint32_t kTab = '\t', kLineFeed = '\n', kDelete = 0x7F;
  switch (cp) {
    case kBackspace:
    case kDelete:
      return Key(kBackspace);
    case kLineFeed:
    case kEnter:
      return Key(kEnter);
    case kTab:
    case kEsc:
      return Key(static_cast<int>(cp));
  }
  if (control && ((cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z')))
    return Key(static_cast<int>(cp & 0x1F));
  if (cp < 32 || (cp >= 128 && cp < 160)) return {};
  int byte = Cp1252Byte(cp);
  return byte < 0 ? BrailleInput{} : Key(byte);
}

BrailleInput CommandKey(uint64_t code) {
  uint64_t block = code & BRLAPI_KEY_CMD_BLK_MASK;
  int argument = static_cast<int>(code & BRLAPI_KEY_CMD_ARG_MASK);
  if (block == BRLAPI_KEY_CMD_ROUTE) return {BrailleInput::kRoute, argument};
  switch (code & BRLAPI_KEY_CODE_MASK) {
    case BRLAPI_KEY_CMD_FWINLT:
    case BRLAPI_KEY_CMD_FWINLTSKIP:
      return {BrailleInput::kPanLeft};
    case BRLAPI_KEY_CMD_FWINRT:
    case BRLAPI_KEY_CMD_FWINRTSKIP:
      return {BrailleInput::kPanRight};
    case BRLAPI_KEY_CMD_LNUP:
    case BRLAPI_KEY_CMD_PRDIFLN:
      return {BrailleInput::kLineUp};
    case BRLAPI_KEY_CMD_LNDN:
    case BRLAPI_KEY_CMD_NXDIFLN:
      return {BrailleInput::kLineDown};
  }
  return {};
}

void Lose() {
  if (D().device->Hung()) {
    D().lost = "quipular: the Braille display does not answer; going on without it";
    PostServerNotice(Cp1252("A LINHA BRAILLE NÃO RESPONDE; A CALCULADORA SEGUE SEM ELA."),
                     "DOBrailleMudo");
  } else {
    D().lost =
        "quipular: the Braille display has gone (" + D().device->Error() + "); going on without it";
  }
  delete D().device;
  D().device = nullptr;
  // On a terminal the line would land in the middle of the screen: it waits
  // for the end of the run.
  if (!isatty(2)) {
    std::fprintf(stderr, "%s\n", D().lost.c_str());
    D().lost.clear();
  }
}

// The row the display shows and its columns, with the cursor's column on it
// (0 when the cursor is elsewhere).
void FocusLine(int& row, int& first, int& last, int& cursor) {
  const TextConsole& c = g_console;
  row = c.row + 1;
  first = 1;
  last = kColumns;
  cursor = std::min(c.column, kColumns - 1) + 1;
  if (c.focus_row > 0 && c.focus_row - (c.scrolled - c.focus_scrolled) >= 1) {
    row = c.focus_row - (c.scrolled - c.focus_scrolled);
    first = c.focus_first;
    last = c.focus_last;
    if (row != c.row + 1 || cursor < first || cursor > last) cursor = 0;
  }
  if (c.braille_moved != 0) {
    row = std::clamp(row + c.braille_moved, 1, kRows);
    first = 1;
    last = kColumns;
    cursor = row == c.row + 1 ? cursor : 0;
  }
}

}  // namespace

BrailleInput TranslateBrailleKey(uint64_t code) {
  if ((code & BRLAPI_KEY_TYPE_MASK) == BRLAPI_KEY_TYPE_CMD) return CommandKey(code);
  uint64_t sym = code & BRLAPI_KEY_CODE_MASK;
  bool control = (code & BRLAPI_KEY_FLG_CONTROL) != 0;
  if ((sym & 0x1F000000) == BRLAPI_KEY_SYM_UNICODE)
    return CharacterKey(static_cast<uint32_t>(sym & 0xFFFFFF), control);
  if (sym < 0x100) return CharacterKey(static_cast<uint32_t>(sym), control);
  if (sym >= BRLAPI_KEY_SYM_FUNCTION && sym < BRLAPI_KEY_SYM_FUNCTION + 12)
    return Extended(kF1 + static_cast<int>(sym - BRLAPI_KEY_SYM_FUNCTION));
  switch (sym) {
    case BRLAPI_KEY_SYM_BACKSPACE:
      return Key(8);
    case BRLAPI_KEY_SYM_TAB:
      return Key(9);
    case BRLAPI_KEY_SYM_LINEFEED:
      return Key(13);
    case BRLAPI_KEY_SYM_ESCAPE:
      return Key(27);
    case BRLAPI_KEY_SYM_HOME:
      return Extended(kHome);
    case BRLAPI_KEY_SYM_LEFT:
      return Extended(kLeft);
    case BRLAPI_KEY_SYM_UP:
      return Extended(kUp);
    case BRLAPI_KEY_SYM_RIGHT:
      return Extended(kRight);
    case BRLAPI_KEY_SYM_DOWN:
      return Extended(kDown);
    case BRLAPI_KEY_SYM_PAGE_UP:
      return Extended(kPgUp);
    case BRLAPI_KEY_SYM_PAGE_DOWN:
      return Extended(kPgDn);
    case BRLAPI_KEY_SYM_END:
      return Extended(kEnd);
    case BRLAPI_KEY_SYM_INSERT:
      return Extended(kIns);
    case BRLAPI_KEY_SYM_DELETE:
      return Extended(kDel);
  }
  return {};
}

bool OpenBrailleDisplay(bool asked, std::string& message) {
  message.clear();
  if (const char* setting = std::getenv("QUIPULAR_BRAILLE");
      setting && !std::strcmp(setting, "off"))
    return false;
  const char* host = std::getenv("BRLAPI_HOST");
  std::string error;
  BrailleDevice* device = nullptr;
  if ((!host || !*host) && access(kLocalSocket, F_OK) != 0) {
    error = "no BrlAPI server answers";
  } else if (auto open = reinterpret_cast<OpenBrailleDeviceFunction>(
                 LoadModuleSymbol("libquipular_brlapi.so", "QuipularOpenBrailleDevice"));
             !open) {
    error = "the BrlAPI module cannot be loaded";
  } else {
    device = open(host, error);
  }
  if (!device) {
    // Looking for a display nobody asked for is done quietly; a server that
    // holds the program up is always told of.
    bool hung = error == kDisplayNoAnswer;
    if (hung)
      PostServerNotice(Cp1252("A LINHA BRAILLE NÃO RESPONDE; A CALCULADORA SEGUE SEM ELA."),
                       "DOBrailleMudo");
    if (asked || hung)
      message = "quipular: no Braille display (" + error + "); going on without it";
    return false;
  }
  D() = BrailleDisplay{};
  D().device = device;
  // The display shows one screen line at most, whatever width the server
  // reports.
  D().width = std::clamp(device->Width(), 1, kColumns);
  return true;
}

void CloseBrailleDisplay() {
  if (D().device && !D().device->Close() && D().lost.empty())
    D().lost = "quipular: the Braille display did not answer at the end";
  delete D().device;
  D().device = nullptr;
}

void UpdateBrailleDisplay() {
  if (!D().device) return;
  int row, first, last, cursor;
  FocusLine(row, first, last, cursor);
  const unsigned char* cells = g_console.chars + (row - 1) * kColumns;
  int length = last - first + 1;
  while (length > 0 && cells[first - 1 + length - 1] == ' ') --length;
  int at = cursor > 0 ? cursor - first + 1 : 0;  // the cursor within the line
  int width = D().width;
  if (row != D().row || first != D().first_column || (at > 0 && at != D().cursor))
    D().panned = false;
  D().row = row;
  D().first_column = first;
  D().cursor = at;
  D().length = std::max(length, at);
  // Unless the panning keys moved it, the window holds the cursor.
  if (!D().panned) D().pan = at > 0 ? (at - 1) / width * width : 0;
  std::wstring text(static_cast<size_t>(width), L' ');
  for (int i = 0; i < width && D().pan + i < length; ++i)
    text[static_cast<size_t>(i)] =
        static_cast<wchar_t>(Cp1252CodePoint(cells[first - 1 + D().pan + i]));
  int cell = at > D().pan && at <= D().pan + width ? at - D().pan : 0;
  if (text == D().shown && cell == D().shown_cursor) return;
  if (!D().device->Write(text, cell)) return Lose();
  D().shown = text;
  D().shown_cursor = cell;
}

void PollBrailleDisplay() {
  // Keys are taken only while the queue has room for one more (an extended
  // key takes two places): the rest wait at the server, in order, until
  // the program has read some.
  for (int taken = 0; D().device && taken < kKeyQueueSize && g_console.queued + 2 <= kKeyQueueSize;
       ++taken) {
    uint64_t code = 0;
    int got = D().device->ReadKey(code);
    if (got < 0) return Lose();
    if (got == 0) break;
    BrailleInput input = TranslateBrailleKey(code);
    int width = D().width;
    switch (input.kind) {
      case BrailleInput::kNone:
        break;
      case BrailleInput::kKey:
        QueueKey(static_cast<unsigned char>(input.value));
        break;
      case BrailleInput::kExtendedKey:
        QueueExtendedKey(static_cast<unsigned char>(input.value));
        break;
      case BrailleInput::kPanLeft:
        D().pan = std::max(D().pan - width, 0);
        D().panned = true;
        break;
      case BrailleInput::kPanRight:
        if (D().pan + width < D().length) D().pan += width;
        D().panned = true;
        break;
      case BrailleInput::kLineUp:
      case BrailleInput::kLineDown: {
        int row, first, last, cursor;
        FocusLine(row, first, last, cursor);
        int to = row + (input.kind == BrailleInput::kLineUp ? -1 : 1);
        if (to >= 1 && to <= kRows) g_console.braille_moved += to - row;
        break;
      }
      case BrailleInput::kRoute: {
        int column = D().first_column + D().pan + input.value;  // 1-based
        if (input.value < width && column <= kColumns && D().row > 0)
          g_console.routed = g_console.chars[(D().row - 1) * kColumns + column - 1];
        break;
      }
    }
  }
  UpdateBrailleDisplay();
}

}  // namespace quipular
