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
#include "console/translate.h"

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
BrailleInput Extended(ExtendedKey key) {
  return {BrailleInput::kExtendedKey, PlainCode(key)};
}

// The display keyboard's editing and cursor keys (X keysyms, as BrlAPI
// gives them); its function keys are a range.
struct SymKey {
  uint64_t sym;
  ExtendedKey key;
};
constexpr SymKey kSymKeys[] = {
    {BRLAPI_KEY_SYM_HOME, kKeyHome},      {BRLAPI_KEY_SYM_LEFT, kKeyLeft},
    {BRLAPI_KEY_SYM_UP, kKeyUp},          {BRLAPI_KEY_SYM_RIGHT, kKeyRight},
    {BRLAPI_KEY_SYM_DOWN, kKeyDown},      {BRLAPI_KEY_SYM_PAGE_UP, kKeyPgUp},
    {BRLAPI_KEY_SYM_PAGE_DOWN, kKeyPgDn}, {BRLAPI_KEY_SYM_END, kKeyEnd},
    {BRLAPI_KEY_SYM_INSERT, kKeyIns},     {BRLAPI_KEY_SYM_DELETE, kKeyDel},
};

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
    case BRLAPI_KEY_CMD_TOP:
    case BRLAPI_KEY_CMD_TOP_LEFT:
      return {BrailleInput::kTop};
    case BRLAPI_KEY_CMD_BOT:
    case BRLAPI_KEY_CMD_BOT_LEFT:
      return {BrailleInput::kBottom};
  }
  return {};
}

void Lose() {
  if (D().device->Hung()) {
    D().lost = _("quipular: the Braille display does not answer; going on without it");
    PostServerNotice(Cp1252("A LINHA BRAILLE NÃO RESPONDE; A CALCULADORA SEGUE SEM ELA."),
                     "DOBrailleMudo");
  } else {
    D().lost = Format(_("quipular: the Braille display has gone (%s); going on without it"),
                      D().device->Error().c_str());
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

// What the display shows: a row of the screen, or the text that stands for
// it, with the cursor within it.
struct Line {
  int row = 0;       // the screen row (1-based)
  int first = 1;     // where the text starts on the row (1-based)
  std::string text;  // Windows-1252, trailing blanks cut
  int cursor = 0;    // the cursor within the text (1-based), 0 when it is elsewhere
};

// A row moved by scrolling since it was named; below 1 when it has gone.
int Scrolled(int row, int scrolled_then) {
  return row - (g_console.scrolled - scrolled_then);
}

bool HoldsText(int row) {
  const unsigned char* cells = g_console.chars + (row - 1) * kColumns;
  return std::any_of(cells, cells + kColumns, [](unsigned char c) { return c != ' '; });
}

// The line shown: a row the line keys moved to, else the focus line or
// message, else the cursor's row. Leading blanks are left out, unless the
// cursor stands among them.
Line FocusLine() {
  const TextConsole& c = g_console;
  Line line;
  line.row = c.row + 1;
  int last = kColumns;
  int cursor = std::min(c.column, kColumns - 1) + 1;
  bool focus = c.focus_row > 0 && Scrolled(c.focus_row, c.focus_scrolled) >= 1;
  if (focus) {
    line.row = Scrolled(c.focus_row, c.focus_scrolled);
    line.first = c.focus_first;
    last = c.focus_last;
  }
  if (c.review_row > 0 && Scrolled(c.review_row, c.review_scrolled) >= 1) {
    line.row = Scrolled(c.review_row, c.review_scrolled);
    line.first = 1;
    last = kColumns;
    focus = false;
  }
  if (focus && !c.focus_text.empty()) {
    line.text = c.focus_text;
  } else {
    line.text.assign(
        reinterpret_cast<const char*>(c.chars) + (line.row - 1) * kColumns + line.first - 1,
        static_cast<size_t>(last - line.first + 1));
    if (line.row == c.row + 1 && cursor >= line.first && cursor <= last)
      line.cursor = cursor - line.first + 1;
  }
  line.text.erase(line.text.find_last_not_of(' ') + 1);
  size_t lead = std::min(line.text.find_first_not_of(' '), line.text.size());
  if (line.cursor > 0) lead = std::min(lead, static_cast<size_t>(line.cursor - 1));
  line.text.erase(0, lead);
  line.first += static_cast<int>(lead);
  if (line.cursor > 0) line.cursor -= static_cast<int>(lead);
  return line;
}

// The row a line key moves to from row: the next one that holds text in
// its direction, the first or the last that does; 0 when there is none.
int ReviewRow(BrailleInput::Kind kind, int row) {
  int from = kind == BrailleInput::kTop ? 1 : kind == BrailleInput::kBottom ? kRows : row;
  int step = kind == BrailleInput::kLineUp || kind == BrailleInput::kBottom ? -1 : 1;
  if (kind == BrailleInput::kLineUp || kind == BrailleInput::kLineDown) from += step;
  for (int r = from; r >= 1 && r <= kRows; r += step)
    if (HoldsText(r)) return r;
  return 0;
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
    return Extended(FunctionKey(1 + static_cast<int>(sym - BRLAPI_KEY_SYM_FUNCTION)));
  for (const SymKey& k : kSymKeys)
    if (k.sym == sym) return Extended(k.key);
  switch (sym) {
    case BRLAPI_KEY_SYM_BACKSPACE:
      return Key(kBackspace);
    case BRLAPI_KEY_SYM_TAB:
      return Key('\t');
    case BRLAPI_KEY_SYM_LINEFEED:
      return Key(kEnter);
    case BRLAPI_KEY_SYM_ESCAPE:
      return Key(kEsc);
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
    error = _("no BrlAPI server answers");
  } else if (auto open = reinterpret_cast<OpenBrailleDeviceFunction>(
                 LoadModuleSymbol("libquipular_brlapi.so", "QuipularOpenBrailleDevice"));
             !open) {
    error = _("the BrlAPI module cannot be loaded");
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
      message = Format(_("quipular: no Braille display (%s); going on without it"), error.c_str());
    return false;
  }
  D() = BrailleDisplay{};
  D().device = device;
  // The display shows one screen line at most, whatever width the server
  // reports.
  D().width = std::clamp(device->Width(), 1, kColumns);
  return true;
}

// The display is handed back blank: nothing of the program's stays on it
// once the server shows it again.
void CloseBrailleDisplay() {
  if (!D().device) return;
  if (!D().shown.empty()) D().device->Write(std::wstring(static_cast<size_t>(D().width), L' '), 0);
  if (!D().device->Close() && D().lost.empty())
    D().lost = _("quipular: the Braille display did not answer at the end");
  delete D().device;
  D().device = nullptr;
}

void UpdateBrailleDisplay() {
  if (!D().device) return;
  Line line = FocusLine();
  int width = D().width;
  if (line.row != D().row || line.first != D().first_column ||
      (line.cursor > 0 ? line.cursor != D().cursor : line.text != D().line))
    D().panned = false;
  D().row = line.row;
  D().first_column = line.first;
  D().cursor = line.cursor;
  D().line = line.text;
  int length = static_cast<int>(line.text.size());
  D().length = std::max(length, line.cursor);
  // Unless the panning keys moved it, the window holds the cursor.
  if (!D().panned) D().pan = line.cursor > 0 ? (line.cursor - 1) / width * width : 0;
  std::wstring text(static_cast<size_t>(width), L' ');
  for (int i = 0; i < width && D().pan + i < length; ++i)
    text[static_cast<size_t>(i)] = static_cast<wchar_t>(
        Cp1252CodePoint(static_cast<unsigned char>(line.text[static_cast<size_t>(D().pan + i)])));
  int cell = line.cursor > D().pan && line.cursor <= D().pan + width ? line.cursor - D().pan : 0;
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
      case BrailleInput::kLineDown:
      case BrailleInput::kTop:
      case BrailleInput::kBottom:
        if (int row = ReviewRow(input.kind, FocusLine().row)) {
          g_console.review_row = row;
          g_console.review_scrolled = g_console.scrolled;
        }
        break;
      case BrailleInput::kRoute: {
        size_t at = static_cast<size_t>(D().pan + input.value);
        if (input.value < width && at < D().line.size())
          g_console.routed = static_cast<unsigned char>(D().line[at]);
        break;
      }
    }
  }
  UpdateBrailleDisplay();
}

}  // namespace quipular
