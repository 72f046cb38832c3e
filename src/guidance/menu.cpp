// The menu: the nine columns as data, one key loop that walks them, and the
// window of five entries that scrolls under a fixed highlight.
#include "guidance/menu.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "calculator/commands.h"
#include "calculator/stack_keys.h"
#include "console/key_codes.h"
#include "console/text_console.h"
#include "guidance/examples.h"
#include "guidance/screens.h"
#include "quipular_build.h"
#include "voice/named_sounds.h"

namespace quipular {
namespace {

// The menu's own items, those that are not commands, with their places
// among the commands the command table puts in the same column. An item
// that is a command names only its key: its text and sounds are the command
// table's.
struct MenuItem {
  char code;                    // the key code handed back; 0 carries nothing out
  const char* sound = nullptr;  // said when the item is reached
  const char* help = nullptr;   // said by F1; null for none
  const char* text = nullptr;   // the text shown
  int place = 0;                // where it goes among the column's commands
};

struct MenuColumn {
  const char* title;     // entry 0
  const char* sound;     // said when the column is selected
  const char* up_sound;  // said when Up comes back to the title
  MenuColumnId id;       // the commands it lists
  std::span<const MenuItem> own;
};

// The items of the stack keys (the arrows, PgUp, Ctrl+M) are the stack keys'
// table's.
// clang-format off
constexpr MenuItem kCommands[] = {
    {kBackspace, "DOBS", "DOayudaBS", "BS", 100},
    {kCtrlT, "DOF2TestarTeclado", "DOAyudaTestarTeclado", "TESTAR TECLADO", 150},
};
// clang-format on

// clang-format off
constexpr MenuItem kInteractiveExamples[] = {
    {'u', "DOexemplo12", "\\COMANDOS\\AYUDA\\F29", "ENTRANDO NUMEROS"},
    {'u', "DOexemplo10", "\\COMANDOS\\AYUDA\\F30", "DIGITACAO DE NUMEROS GRANDES"},
    {'u', "DOexemplo11", "\\COMANDOS\\AYUDA\\F31", "NUMERO DE CASAS DECIMAIS"},
    {'u', "DOexemplo1", "\\COMANDOS\\AYUDA\\F32", "SOMAR DOIS VALORES"},
    {'u', "DOexemplo2", "\\COMANDOS\\AYUDA\\F33", "CALCULO DA RAIZ QUADRADA"},
    {'u', "DOexemplo3", "\\COMANDOS\\AYUDA\\F54", "CALCULO DO LOGARITMO NATURAL"},
    {'u', "DOexemplo4", "\\COMANDOS\\AYUDA\\F55", "CALCULO DO EXPONENCIAL"},
    {'u', "DOexemplo5", "\\COMANDOS\\AYUDA\\F56", "CALCULO DA POTENCIA"},
    {'u', "DOexemplo6", "\\COMANDOS\\AYUDA\\F57", "CALCULO DO INVERSO"},
    {'u', "DOexemplo7", "\\COMANDOS\\AYUDA\\F58", "CALCULO DO FATORIAL"},
    {'u', "DOexemplo8", "\\COMANDOS\\AYUDA\\F60", "PARTE INTEIRA DO VALOR"},
    {'u', "DOexemplo9", "\\COMANDOS\\AYUDA\\F61", "PARTE FRACIONARIA DO VALOR "},
};
// clang-format on

// clang-format off
constexpr MenuItem kIllustratedExamples[] = {
    {'U', "DOexemplo13", "\\COMANDOS\\AYUDA\\F29", "OPERACAO QUIPULAR"},
    {'U', "DOexemplo14", "\\COMANDOS\\AYUDA\\F30", "REGISTROS DA PILHA"},
    {'U', "DOexemplo18", "\\COMANDOS\\AYUDA\\F31", "REGISTROS DA CALCULADORA"},
    {'U', "DOexemplo12", "\\COMANDOS\\AYUDA\\F32", "ENTRANDO NUMEROS"},
    {'U', "DOexemplo10", "\\COMANDOS\\AYUDA\\F33", "DIGITACAO DE NUMEROS GRANDES"},
    {'U', "DOexemplo11", "\\COMANDOS\\AYUDA\\F54", "NUMERO DE CASAS DECIMAIS"},
    {'U', "DOexemplo1", "\\COMANDOS\\AYUDA\\F55", "SOMAR DOIS VALORES"},
    {'U', "DOexemplo2", "\\COMANDOS\\AYUDA\\F56", "CALCULO DA RAIZ QUADRADA"},
    {'U', "DOexemplo3", "\\COMANDOS\\AYUDA\\F57", "CALCULO DO LOGARITMO NATURAL"},
    {'U', "DOexemplo4", "\\COMANDOS\\AYUDA\\F58", "CALCULO DO EXPONENCIAL"},
    {'U', "DOexemplo5", "\\COMANDOS\\AYUDA\\F60", "CALCULO DA POTENCIA"},
    {'U', "DOexemplo6", "\\COMANDOS\\AYUDA\\F61", "CALCULO DO INVERSO"},
    {'U', "DOexemplo7", nullptr, "CALCULO DO FATORIAL"},
    {'U', "DOexemplo8", nullptr, "PARTE INTEIRA DO VALOR"},
    {'U', "DOexemplo9", nullptr, "PARTE FRACIONARIA DO VALOR"},
    {'U', "DOexemplo19", nullptr, "SETAS DO TECLADO"},
    {'U', "DOexemplo20", nullptr, "REGISTROS GERAIS QUIPULAR"},
};
// clang-format on

// clang-format off
constexpr MenuItem kFinancialExamples[] = {
    {'o', "DORegfin", nullptr, "REGISTROS FINANCEIROS"},
    {'o', "DORegfinAD", nullptr, "REGISTROS FINANCEIROS AD."},
    {'o', "DORegfinES", nullptr, "REGISTROS FINANCEIROS ESP."},
    {'o', "DOJSCalculo", nullptr, "CALCULO JUROS SIMPLES"},
    {'o', "DOnCalculo", nullptr, "CALCULO n"},
    {'o', "DOiCalculo", nullptr, "CALCULO i"},
};
// clang-format on

// clang-format off
constexpr MenuColumn kMenuColumns[] = {
    {"  ===== FUNCOES GERAIS =====  ", "DOfungen", "DOfungen",
     MenuColumnId::kGeneral, {}},
    {"  == FUNCOES ESTATISTICAS ==  ", "DOfunesta", "DOfunesta",
     MenuColumnId::kStatistics, {}},
    {"  == REGISTROS FINANCEIROS =  ", "DORegfin", "DORegfin",
     MenuColumnId::kFinancialRegisters, {}},
    {"  === FUNCOES FINANCEIRAS ==  ", "DOfunfin", "DOFunFin",
     MenuColumnId::kFinancialFunctions, {}},
    {"  ===== FUNCOES %/DATA =====  ", "DOfunporca", "DOfunporca",
     MenuColumnId::kPercentAndDates, {}},
    {"  ======== COMANDOS ========  ", "DOComandos", "DOComandos",
     MenuColumnId::kCommands, kCommands},
    {"  == EXEMPLOS INTERATIVOS ==  ", "DOfunexemplos", "DOfunExemplos",
     MenuColumnId::kNone, kInteractiveExamples},
    {"  == EXEMPLOS ILUSTRATIVOS =  ", "DOfunExemplosIlus", "DOfunExemplosIlus",
     MenuColumnId::kNone, kIllustratedExamples},
    {"  = EXEMPLOS CALC. FIN/EST =  ", "DOfunExemplosFINESTA", "DOfunExemplosFINESTA",
     MenuColumnId::kNone, kFinancialExamples},
};
// clang-format on

// What an item says and shows: its own, or its command's.
const char* Sound(const MenuItem& item) {
  if (item.sound) return item.sound;
  const Command* c = FindCommand(item.code);
  return c ? MenuSound(*c) : "";
}
const char* HelpSound(const MenuItem& item) {
  if (item.sound) return item.help;
  const Command* c = FindCommand(item.code);
  return c ? c->help : nullptr;
}
const char* Text(const MenuItem& item) {
  if (item.sound) return item.text ? item.text : "";
  const Command* c = FindCommand(item.code);
  return c && c->menu_name ? c->menu_name : "";
}

constexpr int kColumnCount = 9;
constexpr int kFirstItem = 2;  // entry 0 is the title, entry 1 is empty
constexpr int kWindow = 5;     // entries shown at once

// The codes chosen without the "function inserted" prompt besides the quiet
// commands: the examples, nothing, the key test and the payment mode.
constexpr char kQuietCodes[] = "ouU\x00\x14\x0a";

bool Quiet(char code) {
  const Command* command = FindCommand(code);
  return command ? command->menu_quiet
                 : std::memchr(kQuietCodes, code, sizeof kQuietCodes) != nullptr;
}

struct Menu {
  explicit Menu(Operands& o) : operands(o) {}

  Operands& operands;          // what the examples compute on
  bool over_examples = false;  // the list of examples was drawn again after an example
  std::vector<std::string> lists[kColumnCount];  // title, empty, items, four empties
  int counter = 1008;                            // the column is the counter modulo 9
  int selected = 0;                              // entry under the highlight

  std::vector<MenuItem> items[kColumnCount];  // each column's items in order

  int Column() const { return counter % kColumnCount; }
  int Count() const { return static_cast<int>(items[Column()].size()); }
  const MenuColumn& Current() const { return kMenuColumns[Column()]; }
  // The selection stops at the last item: the window then shows it on top.
  int Bound() const { return Count() + kFirstItem - 1 + (kWindow - 1); }
  const MenuItem* Item() const {
    int index = selected - kFirstItem;
    return index >= 0 && index < Count() ? &items[Column()][static_cast<size_t>(index)] : nullptr;
  }

  // Each column: its own items, the stack keys' and the commands the table
  // puts in it, by place.
  void Build() {
    for (int c = 0; c < kColumnCount; ++c) {
      const MenuColumn& column = kMenuColumns[c];
      std::vector<MenuItem>& column_items = items[c];
      column_items.assign(column.own.begin(), column.own.end());
      if (column.id != MenuColumnId::kNone) {
        for (const StackKeyRow& key : StackKeys()) {
          if (key.column != column.id) continue;
          // An extended key cannot be handed back: its item carries nothing out.
          char code = key.first == kNoExtendedKey ? key.code : 0;
          for (const StackMenuItem& m : key.menu)
            if (m.text) column_items.push_back({code, m.sound, m.help, m.text, m.place});
        }
        for (const Command& command : Commands())
          if (command.menu.column == column.id)
            column_items.push_back({command.key, nullptr, nullptr, nullptr, command.menu.place});
      }
      std::stable_sort(column_items.begin(), column_items.end(),
                       [](const MenuItem& a, const MenuItem& b) { return a.place < b.place; });
      std::vector<std::string>& list = lists[c];
      list = {column.title, ""};
      for (const MenuItem& item : column_items) list.push_back(Text(item));
      list.resize(list.size() + kWindow - 1);
    }
  }

  void Draw() const {
    SetTextColour(15);
    SetBackgroundColour(0);
    for (int row = 11; row <= 24; ++row) {
      MoveCursor(40, row);
      ConsoleWrite("|");
    }
    SetBackgroundColour(4);
    MoveCursor(44, 13);
    ConsoleWrite(" QUIPULAR  v." QUIPULAR_VERSION " ");
    SetBackgroundColour(1);
    for (int row = 14; row <= 20; ++row) {
      MoveCursor(44, row);
      ConsoleWrite(std::string(34, ' '));
    }
    const std::vector<std::string>& list = lists[Column()];
    for (int i = 0; i < kWindow; ++i) {
      MoveCursor(46, 15 + i);
      ConsoleWrite(list[static_cast<size_t>(selected + i)]);
    }
    // The chosen item: black on yellow, far brighter than the blue around
    // it, so that it is seen by its brightness as well as by its colour.
    SetTextColour(0);
    SetBackgroundColour(14);
    MoveCursor(46, 15);
    ConsoleWrite(list[static_cast<size_t>(selected)]);
    SetTextColour(15);
    SetBackgroundColour(1);
    SetBrailleFocus(15, 46, 79);  // the highlighted item, as it is said
  }

  void SelectColumn(int column) {
    counter = 990 + column;
    Step(0);
  }

  // Moves the column counter (the arrows wrap around) and shows the title.
  void Step(int by) {
    counter += by;
    selected = 0;
    Draw();
    PlaySoundKey(Current().sound);
  }

  void Down() {
    if (selected + kWindow - 1 < Bound()) {
      selected += selected == 0 ? kFirstItem : 1;
      Draw();
    }
    if (const MenuItem* item = Item()) PlaySoundKey(Sound(*item));
  }

  void Up() {
    if (selected == kFirstItem) selected = 1;
    if (selected == 0) return;
    --selected;
    Draw();
    const MenuItem* item = Item();
    PlaySoundKey(item ? Sound(*item) : Current().up_sound);
  }

  void Help() const {
    const MenuItem* item = Item();
    if (!item) return;
    if (const char* help = HelpSound(*item)) PlaySoundKey(help);
  }

  // An extended key, by its second code: F2 to F9 and F11 select the
  // columns, F1 says the item's help, the arrows move.
  void Extended(unsigned char code) {
    ExtendedKey key = ExtendedKeyOfCode(code);
    if (key >= kKeyF2 && key <= kKeyF9)
      SelectColumn(key - kKeyF2);
    else if (key == kKeyF11)
      SelectColumn(8);
    else if (key == kKeyLeft)
      Step(-1);
    else if (key == kKeyRight)
      Step(1);
    else if (key == kKeyDown)
      Down();
    else if (key == kKeyUp)
      Up();
    else if (key == kKeyF1)
      Help();
  }

  // Runs the key loop; answers the chosen code, or -1 for Esc.
  int Choose() {
    for (;;) {
      SetBrailleFocus(15, 46, 79);  // the highlighted item
      unsigned char k = ReadKey();
      if (k == kExtendedPrefix) {
        Extended(ReadKey());
        continue;
      }
      if (k == kBackspace || k == ',' || k == '.' || (k >= '0' && k <= '9')) continue;
      if (k == kEsc) return -1;
      const MenuItem* item = Item();
      char code = item ? item->code : 0;
      if (code == 'u' || code == 'U' || code == 'o') {
        int column = Column();
        ExampleEnd end = RunExample(code, selected, operands);
        if (end != ExampleEnd::kNoExample) over_examples = end == ExampleEnd::kBackToList;
        if (over_examples) {
          // Back to the list of examples, over the guidance screen.
          ShowGuidanceScreen(code == 'u' ? GuidanceScreen::kInteractiveExamples
                                         : GuidanceScreen::kIllustratedExamples);
          SelectColumn(column);
          continue;
        }
      }
      if (!Quiet(code)) PlaySoundKey("DOfuninserida");
      return static_cast<unsigned char>(code);
    }
  }
};

}  // namespace

MenuAnswer RunMenu(Operands& operands) {
  Menu menu(operands);
  menu.Build();
  menu.Draw();
  PlaySoundKey(kMenuColumns[0].sound);
  int answer = menu.Choose();
  for (int row = 11; row <= 24; ++row) {
    MoveCursor(40, row);
    SetBackgroundColour(0);
    ClearToEndOfLine();
  }
  SetBackgroundColour(0);
  if (answer >= 0) return {static_cast<unsigned char>(answer), menu.over_examples};
  PlaySoundKey("DORegresoCalc");
  if (!menu.over_examples) PlaySoundKey("DOOperando");
  return {kNothingChosen, menu.over_examples};
}

}  // namespace quipular
