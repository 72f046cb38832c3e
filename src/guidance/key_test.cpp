// The key test: the command table, the stack keys' table and a small table
// of the other keys that carry no command, and the walker that writes a
// key's row and says it, thirteen rows to a page.
#include "guidance/key_test.h"

#include <cctype>
#include <cstring>
#include <span>
#include <string>

#include "calculator/commands.h"
#include "calculator/stack_keys.h"
#include "console/key_codes.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "guidance/screens.h"
#include "voice/named_sounds.h"

namespace quipular {
namespace {

struct KeyTestRow {
  unsigned char first, last;  // the codes it matches (second codes for extended keys)
  char ctrl;                  // if set, matches any code read while Ctrl and this letter are held
  char own;                   // for a range: the character of its first code; appended to TECLA
  const char* key;            // TECLA
  const char* function;       // FUNÇÃO
  const char* kind;           // TIPO
  const char* sounds[kKeyTestSteps];
};

// The keys that carry no command; the commands' rows are in the command
// table. A Ctrl row matches any code read while its letter is held.
// clang-format off
constexpr KeyTestRow kOrdinaryRows[] = {
    {kBackspace, kBackspace, 0, 0, "BACK SPACE", "Apagado", "Comando", {"DOBACKSPACE", "DOfuncion", "DOBORRADO"}},
    {kEnter, kEnter, 0, 0, "ENTER", "ENTER", "Comando", {"DOENTER"}},
    {'.', '.', 0, '.', "", "Numero", "Numero", {kKeyTestOwn}},
    {'0', '9', 0, '0', "", "Numero", "Numero", {kKeyTestOwn}},
    {0, 0, 'F', 0, "CTRL  + F", "Menu Calculadora", "Menu",
     {"DOControl", "f", "DOfuncion", "DOfungen"}},
};
// clang-format on

constexpr int kPageRows = 13;  // key rows on one page, rows 12 to 24

// The letter held with Ctrl to type a control code; 0 for any other code.
char CtrlLetter(char key) {
  return key >= 1 && key <= 26 ? static_cast<char>('A' + key - 1) : 0;
}

bool IsCapital(char key) {
  return key >= 'A' && key <= 'Z';
}

// A row the key test writes and says itself (one of its own or a stack
// key's), with the character its key stands for.
struct Shown {
  const char* key;            // TECLA
  const char* function;       // FUNÇÃO
  const char* kind;           // TIPO
  const char* const* sounds;  // kKeyTestSteps of them, null after the last
  char own;                   // appended to TECLA, and spelled by kKeyTestOwn
  char ctrl;                  // the letter held with Ctrl, for a Ctrl row
};

Shown ShownOf(const KeyTestRow& row, unsigned char code) {
  char own = row.own ? static_cast<char>(row.own + (code - row.first)) : 0;
  return {row.key, row.function, row.kind, row.sounds, own, row.ctrl};
}

Shown ShownOf(const StackKeyRow& row, ExtendedKey key) {
  char own = row.own ? static_cast<char>(row.own + (key - row.first)) : 0;
  return {row.key, row.name, row.kind, row.key_test_sounds, own, row.ctrl};
}

struct Found {
  const KeyTestRow* row = nullptr;
  const StackKeyRow* stack_key = nullptr;
  const Command* command = nullptr;
  explicit operator bool() const { return row || stack_key || command; }
};

// The row of an ordinary key: the one its code names, else the Ctrl row of
// the letter held. Commands on control codes are found by the letter held,
// so that Tab is not taken for Ctrl+I. A key's own code comes first: a key
// typed ahead of a Ctrl key may be read while that Ctrl letter is still
// reported held, and it is still its own key.
Found FindOrdinary(unsigned char code) {
  Found by_code, by_letter;
  for (const KeyTestRow& row : kOrdinaryRows) {
    if (row.ctrl ? CtrlLetterHeld(row.ctrl) : code >= row.first && code <= row.last)
      (row.ctrl ? by_letter : by_code) = {&row, nullptr, nullptr};
  }
  for (const StackKeyRow& key : StackKeys())
    if (key.ctrl && CtrlLetterHeld(key.ctrl)) by_letter = {nullptr, &key, nullptr};
  for (const Command& c : Commands()) {
    if (!c.key_test.function) continue;
    if (char letter = CtrlLetter(c.key)) {
      if (CtrlLetterHeld(letter)) by_letter = {nullptr, nullptr, &c};
    } else if (code == static_cast<unsigned char>(c.key) && !by_code) {
      by_code = {nullptr, nullptr, &c};
    }
  }
  return by_code ? by_code : by_letter;
}

// The row as the Braille display and a line-oriented front-end give it: the
// key's name, its function and its kind, each after a blank and a dash, so
// that the name and the start of the function fit a short display.
std::string RowText(const std::string& key, const std::string& function, const char* kind) {
  return key + " - " + function + " - " + Cp1252(kind);
}

void WriteKey(const std::string& text, int line) {
  MoveCursor(1, line);
  ConsoleWrite(text);
}

// FUNÇÃO (with its red part) and TIPO, from UTF-8.
void WriteRest(const char* function, const char* red, const char* kind, int line) {
  MoveCursor(26, line);
  ConsoleWrite(Cp1252(function));
  if (red) {
    SetTextColour(4);
    ConsoleWrite(Cp1252(red));
    SetTextColour(15);
  }
  MoveCursor(60, line);
  ConsoleWrite(Cp1252(kind));
}

// Writes and says one of the own rows on screen row `line`; the cursor ends
// at the start of the next row.
void ShowRow(const Shown& row, int line) {
  const char own = row.own;
  // In a terminal the console's Ctrl+M (BEG/END) is typed as Ctrl+J.
  bool ctrl_j = row.ctrl == 'M' && CtrlMIsEnter();
  std::string key =
      ctrl_j ? std::string("CTRL + J") : Cp1252(row.key) + (own ? std::string(1, own) : "");
  auto write_key = [&] { WriteKey(key, line); };
  auto write_rest = [&] { WriteRest(row.function, nullptr, row.kind, line); };
  auto is = [](const char* sound, const char* step) { return std::strcmp(sound, step) == 0; };
  std::span<const char* const> sounds(row.sounds, kKeyTestSteps);
  bool staged = false;
  for (const char* sound : sounds) staged = staged || (sound && is(sound, kKeyTestWriteKey));
  if (!staged) {
    write_key();
    write_rest();
  }
  SetBrailleFocus(line, RowText(key, Cp1252(row.function), row.kind));
  for (const char* sound : sounds) {
    if (!sound) break;
    if (is(sound, kKeyTestWriteKey))
      write_key();
    else if (is(sound, kKeyTestWriteRest))
      write_rest();
    else if (is(sound, kKeyTestOwn))
      SpellCharacter(static_cast<unsigned char>(own));
    else if (sound[1] == '\0')
      SpellCharacter(static_cast<unsigned char>(ctrl_j && sound[0] == 'm' ? 'j' : sound[0]));
    else
      PlaySoundKey(sound);
  }
  MoveCursor(1, line + 1);
}

// A command's row: the key is named as it is typed ("CTRL + X", "SHIFT + X",
// "X", "%") and said the same way, its letter spelled in lower case.
void ShowCommandRow(const Command& c, int line) {
  const KeyTestText& t = c.key_test;
  char letter = CtrlLetter(c.key);
  bool shift = IsCapital(c.key);
  auto key = static_cast<unsigned char>(c.key);
  char capital = letter ? letter : static_cast<char>(std::toupper(key));
  char spelled = static_cast<char>(std::tolower(static_cast<unsigned char>(capital)));
  std::string name = letter  ? std::string("CTRL + ") + capital
                     : shift ? std::string("SHIFT + ") + capital
                             : std::string(1, capital);
  WriteKey(name, line);
  WriteRest(t.function, t.red, t.kind, line);
  SetBrailleFocus(line,
                  RowText(name, Cp1252(std::string(t.function) + (t.red ? t.red : "")), t.kind));
  if (letter)
    PlaySoundKey("DOControl");
  else if (shift)
    PlaySoundKey(t.shift);
  SpellCharacter(static_cast<unsigned char>(spelled));
  PlaySoundKey("DOfuncion");
  if (t.stores) PlaySoundKey("DOArmazena");
  PlaySoundKey(t.sound ? t.sound : c.sound);
  MoveCursor(1, line + 1);
}

// The key test's screen, its heading on the display until the first key.
void ShowKeyTestScreen() {
  ShowGuidanceScreen(GuidanceScreen::kKeyTest);
  ShowMessage(9);
}

}  // namespace

void RunKeyTest() {
  ShowKeyTestScreen();
  PlaySoundKey("DOF2TestarTeclado");
  PlaySoundKey("DOF2TestarTeclado1");
  int lines = 0;
  for (;;) {
    SetTextColour(15);
    SetBackgroundColour(0);
    unsigned char code = ReadKey();
    int line = CursorRow();
    if (code == '<') {
      PlaySoundKey("DOTECLAINV");
      continue;
    }
    if (code == kCtrlT) return;
    if (code == kExtendedPrefix) {
      ExtendedKey key = ExtendedKeyOfCode(ReadKey());
      if (const StackKeyRow* stack_key = FindStackKey(key))
        ShowRow(ShownOf(*stack_key, key), line);
      else
        PlaySoundKey("DOTECLAINV");  // still counted
    } else if (code == kEsc) {
      PlaySoundKey("DOESC");
      return;
    } else {
      Found found = FindOrdinary(code);
      if (!found) {
        PlaySoundKey("DOTECLAINV");
        continue;
      }
      if (found.row) ShowRow(ShownOf(*found.row, code), line);
      if (found.stack_key) ShowRow(ShownOf(*found.stack_key, kNoExtendedKey), line);
      if (found.command) ShowCommandRow(*found.command, line);
    }
    if (++lines == kPageRows) {
      ShowKeyTestScreen();
      lines = 0;
    }
  }
}

}  // namespace quipular
