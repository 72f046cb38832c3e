// The key test: the command table and two small tables of the keys that
// carry no command (extended and ordinary), and the walker that writes a
// key's row and says it, thirteen rows to a page.
#include "guidance/key_test.h"

#include <cctype>
#include <string>

#include "calculator/commands.h"
#include "console/frontend.h"
#include "console/key_codes.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "guidance/screens.h"
#include "voice/named_sounds.h"

namespace quipular {
namespace {

// Steps of a row's sound list besides sound keys and spelled characters (a
// one-character text is spelled). A list without kWriteKey has all three
// texts written before any sound.
constexpr const char* kOwn = "\x01";        // spell the character the key stands for
constexpr const char* kWriteKey = "\x02";   // write the TECLA text now
constexpr const char* kWriteRest = "\x03";  // write the FUNÇÃO and TIPO texts now

struct KeyTestRow {
  unsigned char first, last;  // the codes it matches (second codes for extended keys)
  char ctrl;                  // if set, matches any code read while Ctrl and this letter are held
  char own;                   // for a range: the character of its first code; appended to TECLA
  const char* key;            // TECLA
  const char* function;       // FUNÇÃO
  const char* kind;           // TIPO
  const char* sounds[6];
};

// clang-format off
constexpr KeyTestRow kExtendedRows[] = {
    {kF1, kF1 + 8, 0, '1', "F", "Tecla de Ajuda", "Ajuda",
     {"F", kWriteKey, kOwn, "DOfuncion", kWriteRest, "DOF1-F9"}},
    {kRight, kRight, 0, 0, "Seta para a direita", "Primer Registro da Pilha", "Comando",
     {"DOSetaD", "DOfuncion", "DOPilaPrimero"}},
    {kLeft, kLeft, 0, 0, "Seta para a esquerda", "Registros da Pilha", "Comando",
     {"DOSetaE", "DOfuncion", "DOXYZT"}},
    {kDown, kDown, 0, 0, "Seta para baixo", "Rolagem da Pila", "Comando",
     {"DOSetaB", "DOfuncion", "DOROTAPILA"}},
    {kUp, kUp, 0, 0, "Seta para cima", "Troca X por Y", "Comando",
     {"DOSetaC", "DOfuncion", "DOCAMBIAXY"}},
    {kPgUp, kPgUp, 0, 0, "PGUP", "Tipo de periodo", "Reg. Financeiros",
     {"DOSetaPGUP", "DOfuncion", "DOPGUP"}},
};
// clang-format on

// The keys that carry no command; the commands' rows are in the command
// table. A Ctrl row matches any code read while its letter is held.
// clang-format off
constexpr KeyTestRow kOrdinaryRows[] = {
    {kBackspace, kBackspace, 0, 0, "BACK SPACE", "Apagado", "Comando", {"DOBACKSPACE", "DOfuncion", "DOBORRADO"}},
    {kEnter, kEnter, 0, 0, "ENTER", "ENTER", "Comando", {"DOENTER"}},
    {'.', '.', 0, '.', "", "Numero", "Numero", {kOwn}},
    {'0', '9', 0, '0', "", "Numero", "Numero", {kOwn}},
    {0, 0, 'F', 0, "CTRL  + F", "Menu Calculadora", "Menu",
     {"DOControl", "f", "DOfuncion", "DOfungen"}},
    {0, 0, 'M', 0, "CTRL + M", "Modo de Pagamento BEG/END", "Reg. Financeiros",
     {"DOControl", "m", "DOfuncion", "DOArmazena", "DOBEGEND"}},
};
// clang-format on

constexpr int kPageRows = 13;  // key rows on one page, rows 12 to 24

const KeyTestRow* FindExtended(unsigned char code) {
  for (const KeyTestRow& row : kExtendedRows)
    if (code >= row.first && code <= row.last) return &row;
  return nullptr;
}

// The letter held with Ctrl to type a control code; 0 for any other code.
char CtrlLetter(char key) {
  return key >= 1 && key <= 26 ? static_cast<char>('A' + key - 1) : 0;
}

bool IsCapital(char key) {
  return key >= 'A' && key <= 'Z';
}

struct Found {
  const KeyTestRow* row = nullptr;
  const Command* command = nullptr;
  explicit operator bool() const { return row || command; }
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
      (row.ctrl ? by_letter : by_code) = {&row, nullptr};
  }
  for (const Command& c : Commands()) {
    if (!c.key_test.function) continue;
    if (char letter = CtrlLetter(c.key)) {
      if (CtrlLetterHeld(letter)) by_letter = {nullptr, &c};
    } else if (code == static_cast<unsigned char>(c.key) && !by_code) {
      by_code = {nullptr, &c};
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
void ShowRow(const KeyTestRow& row, unsigned char code, int line) {
  char own = row.own ? static_cast<char>(row.own + (code - row.first)) : 0;
  // In a terminal the console's Ctrl+M (BEG/END) is typed as Ctrl+J.
  bool ctrl_j = row.ctrl == 'M' && CtrlMIsEnter();
  std::string key =
      ctrl_j ? std::string("CTRL + J") : Cp1252(row.key) + (own ? std::string(1, own) : "");
  auto write_key = [&] { WriteKey(key, line); };
  auto write_rest = [&] { WriteRest(row.function, nullptr, row.kind, line); };
  bool staged = false;
  for (const char* sound : row.sounds) staged = staged || sound == kWriteKey;
  if (!staged) {
    write_key();
    write_rest();
  }
  SetBrailleFocus(line, RowText(key, Cp1252(row.function), row.kind));
  for (const char* sound : row.sounds) {
    if (!sound) break;
    if (sound == kWriteKey)
      write_key();
    else if (sound == kWriteRest)
      write_rest();
    else if (sound == kOwn)
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
    const KeyTestRow* row = nullptr;
    const Command* command = nullptr;
    if (code == '<') {
      PlaySoundKey("DOTECLAINV");
      continue;
    }
    if (code == kCtrlT) return;
    if (code == kExtendedPrefix) {
      code = ReadKey();
      row = FindExtended(code);
      if (!row) PlaySoundKey("DOTECLAINV");  // still counted
    } else if (code == kEsc) {
      PlaySoundKey("DOESC");
      return;
    } else {
      Found found = FindOrdinary(code);
      if (!found) {
        PlaySoundKey("DOTECLAINV");
        continue;
      }
      row = found.row;
      command = found.command;
    }
    if (row) ShowRow(*row, code, line);
    if (command) ShowCommandRow(*command, line);
    if (++lines == kPageRows) {
      ShowKeyTestScreen();
      lines = 0;
    }
  }
}

}  // namespace quipular
