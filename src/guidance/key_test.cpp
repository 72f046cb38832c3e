// The key test: two tables of keys (extended and ordinary) and one walker
// that writes a key's row and says it, thirteen rows to a page.
#include "guidance/key_test.h"

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
constexpr const char* kOwn = "\x01";           // spell the character the key stands for
constexpr const char* kWriteKey = "\x02";      // write the TECLA text now
constexpr const char* kWriteRest = "\x03";     // write the FUNÇÃO and TIPO texts now
constexpr const char* kCommandSound = "\x04";  // the sound of the command the key carries

struct KeyTestRow {
  unsigned char first, last;  // the codes it matches (second codes for extended keys)
  char ctrl;                  // if set, matches any code read while Ctrl and this letter are held
  char own;                   // for a range: the character of its first code; appended to TECLA
  const char* key;            // TECLA
  const char* function;       // FUNÇÃO
  const char* kind;           // TIPO
  const char* sounds[7];
  const char* red = nullptr;  // written after FUNÇÃO in red
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

// Tried top to bottom; a Ctrl row catches only codes no earlier row took.
// The blanks inside some FUNÇÃO texts are no-break spaces.
// clang-format off
constexpr KeyTestRow kOrdinaryRows[] = {
    {kBackspace, kBackspace, 0, 0, "BACK SPACE", "Apagado", "Comando", {"DOBACKSPACE", "DOfuncion", "DOBORRADO"}},
    {kEnter, kEnter, 0, 0, "ENTER", "ENTER", "Comando", {"DOENTER"}},
    {'.', '.', 0, '.', "", "Numero", "Numero", {kOwn}},
    {'0', '9', 0, '0', "", "Numero", "Numero", {kOwn}},
    {'/', '/', 0, 0, "/", "Divisão", "Op. Basicas", {"/", "DOfuncion", "DOdividir"}},
    {'*', '*', 0, 0, "*", "Multiplicação", "Op. Basicas", {"*", "DOfuncion", "DOmultiplicar"}},
    {'-', '-', 0, 0, "-", "Subtração", "Op. Basicas", {"-", "DOfuncion", "DOrestar"}},
    {'+', '+', 0, 0, "+", "Soma", "Op. Basicas", {"+", "DOfuncion", "DOSumar"}},
    {'t', 't', 0, 0, "T", "Troca o sinal", "Comando", {"t", "DOfuncion", kCommandSound}},
    {'x', 'x', 0, 0, "X", "Inverso 1/x", "Fun. Gerais", {"x", "DOfuncion", kCommandSound}},
    {'X', 'X', 0, 0, "SHIFT + X", "Raiz Quadrada SQRT", "Fun. Gerais",
     {"DOSHIFT", "x", "DOfuncion", kCommandSound}},
    {0, 0, 'X', 0, "CTRL + X", "Logaritmo Natural LN", "Fun. Gerais",
     {"DOControl", "x", "DOfuncion", kCommandSound}},
    {'f', 'f', 0, 0, "F", "Fatorial n!", "Fun. Gerais", {"f", "DOfuncion", kCommandSound}},
    {0, 0, 'F', 0, "CTRL  + F", "Menu Calculadora", "Menu",
     {"DOControl", "f", "DOfuncion", "DOfungen"}},
    {'g', 'g', 0, 0, "G", "Parte inteira INTG", "Fun. Gerais", {"g", "DOfuncion", kCommandSound}},
    {'G', 'G', 0, 0, "SHIFT + G", "Parte Fraccionaria FRAC", "Fun. Gerais",
     {"DOSHIFT", "g", "DOfuncion", kCommandSound}},
    {'e', 'e', 0, 0, "E", "Expoente ", "Comando", {"e", "DOfuncion", kCommandSound}, "E"},
    {'E', 'E', 0, 0, "SHIFT + E", "Exponencial e^x", "Fun. Gerais",
     {"DOSHIFT", "e", "DOfuncion", kCommandSound}},
    {0, 0, 'E', 0, "CTRL + E", "Potencia y^x", "Fun. Gerais",
     {"DOControl", "e", "DOfuncion", kCommandSound}},
    {'%', '%', 0, 0, "%", "Porcentagem", "Fun. Porcentagem", {"%", "DOfuncion", kCommandSound}},
    {'y', 'y', 0, 0, "Y", "Diferença Porcentual D%", "Fun. Porcentagem",
     {"y", "DOfuncion", kCommandSound}},
    {'Y', 'Y', 0, 0, "SHIFT + Y", "Porcentagem do Total %T", "Fun. Porcentagem",
     {"DOSHIFT", "y", "DOfuncion", kCommandSound}},
    {'z', 'z', 0, 0, "Z", "Acumulação Estatísticas Z+", "Fun. Estatisticas",
     {"z", "DOfuncion", kCommandSound}},
    {'Z', 'Z', 0, 0, "SHIFT + Z", "Correção Estatísticas Z-", "Fun. Estatisticas",
     {"DOSHIFT", "z", "DOfuncion", kCommandSound}},
    {0, 0, 'Z', 0, "CTRL + Z", "Correção Estatísticas Z-", "Fun. Estatisticas",
     {"DOControl", "z", "DOfuncion", kCommandSound}},
    {'q', 'q', 0, 0, "Q", "Media Aritmetica ", "Fun. Estatisticas", {"q", "DOfuncion", kCommandSound}},
    {'Q', 'Q', 0, 0, "SHIFT + Q", "Media Ponderada Xw", "Fun. Estatisticas",
     {"DOSHIFT", "q", "DOfuncion", kCommandSound}},
    {0, 0, 'Q', 0, "CTRL + Q", "Desvio\u00a0Padrão\u00a0S", "Fun. Estatisticas",
     {"DOControl", "q", "DOfuncion", kCommandSound}},
    {'w', 'w', 0, 0, "W", "Estimação\u00a0linear\u00a0de\u00a0X", "Fun. Estatisticas",
     {"w", "DOfuncion", kCommandSound}},
    {'W', 'W', 0, 0, "SHIFT + W", "Estimação\u00a0linear\u00a0de\u00a0Y", "Fun. Estatisticas",
     {"DOSHIFT", "w", "DOfuncion", kCommandSound}},
    {0, 0, 'W', 0, "CTRL + W", "Coeficiente\u00a0de\u00a0correlação", "Fun. Estatisticas",
     {"DOControl", "w", "DOfuncion", kCommandSound}},
    {'n', 'n', 0, 0, "N", "Numero de períodos", "Reg. Financeiros",
     {"n", "DOfuncion", "DOArmazena", kCommandSound}},
    {'N', 'N', 0, 0, "SHIFT + N", "Cálculo Numero de períodos", "Fun. Financeiras",
     {"DOShift", "n", "DOfuncion", kCommandSound}},
    {0, 0, 'N', 0, "CTRL + N", "Numero de períodos 12 vezes", "Reg. Financeiros",
     {"DOControl", "n", "DOfuncion", "DOArmazena", kCommandSound}},
    {'i', 'i', 0, 0, "I", "Taxa de Juros", "Reg. Financeiros",
     {"i", "DOfuncion", "DOArmazena", kCommandSound}},
    {'I', 'I', 0, 0, "SHIFT + I", "Calculo Taxa de Juros", "Fun. Financeiras",
     {"DOShift", "i", "DOfuncion", kCommandSound}},
    {0, 0, 'I', 0, "CTRL + I", "Taxa de Juros dividido 12", "Reg. Financeiros",
     {"DOControl", "i", "DOfuncion", "DOArmazena", kCommandSound}},
    {'p', 'p', 0, 0, "P", "Valor Presente", "Reg. Financeiros",
     {"p", "DOfuncion", "DOArmazena", kCommandSound}},
    {'P', 'P', 0, 0, "SHIFT + P", "Calculo Valor Presente", "Fun. Financeiras",
     {"DOShift", "p", "DOfuncion", kCommandSound}},
    {'m', 'm', 0, 0, "M", "Pagamento Periodico", "Reg. Financeiros",
     {"m", "DOfuncion", "DOArmazena", kCommandSound}},
    {'M', 'M', 0, 0, "SHIFT + M", "Calculo Pagamento Periodico", "Fun. Financeiras",
     {"DOShift", "m", "DOfuncion", kCommandSound}},
    {0, 0, 'M', 0, "CTRL + M", "Modo de Pagamento BEG/END", "Reg. Financeiros",
     {"DOControl", "m", "DOfuncion", "DOArmazena", "DOBEGEND"}},
    {'v', 'v', 0, 0, "V", "Valor Futuro", "Reg. Financeiros",
     {"v", "DOfuncion", "DOArmazena", kCommandSound}},
    {'V', 'V', 0, 0, "SHIFT + V", "Calculo Valor Futuro", "Fun. Financeiras",
     {"DOShift", "v", "DOfuncion", kCommandSound}},
    {'k', 'k', 0, 0, "K", "Fluxo de Caixa Cfo/Cfj", "Reg. Financeiros",
     {"k", "DOfuncion", "DOArmazena", kCommandSound}},
    {'K', 'K', 0, 0, "SHIFT + K", "Valor Presente Liquido", "Fun. Financeiras",
     {"DOShift", "k", "DOfuncion", kCommandSound}},
    {0, 0, 'K', 0, "CTRL + K", "Fluxo de Caixa Repetido Nj", "Reg. Financeiros",
     {"DOControl", "k", "DOfuncion", kCommandSound}},
    {'l', 'l', 0, 0, "L", "Dep. Saldos Decrescentes DB", "Fun. Financeiras",
     {"l", "DOfuncion", kCommandSound}},
    {'L', 'L', 0, 0, "SHIFT + L", "Dep. linear SL", "Fun. Financeiras",
     {"DOShift", "l", "DOfuncion", kCommandSound}},
    {0, 0, 'L', 0, "CTRL + L", "Dep. Soma Digitos Anos SOYD", "Fun. Financeiras",
     {"DOControl", "l", "DOfuncion", kCommandSound}},
    {'j', 'j', 0, 0, "J", "Juros Simples", "Fun. Financeiras", {"j", "DOfuncion", kCommandSound}},
    {'J', 'J', 0, 0, "SHIFT + J", "Amortização", "Fun. Financeiras",
     {"DOShift", "j", "DOfuncion", kCommandSound}},
    {'a', 'a', 0, 0, "A", "Apaga Registro Dados Geral", "Comando",
     {"a", "DOfuncion", kCommandSound}},
    {'A', 'A', 0, 0, "SHIFT + A", "Apaga Registros Estatisticos", "Comando",
     {"DOShift", "a", "DOfuncion", kCommandSound}},
    {0, 0, 'A', 0, "CTRL + A", "Apaga Registros Financeiros", "Comando",
     {"DOControl", "a", "DOfuncion", kCommandSound}},
    {'r', 'r', 0, 0, "R", "Recuperação de Dados RCL+", "Comando", {"r", "DOfuncion", kCommandSound}},
    {'R', 'R', 0, 0, "SHIFT + R", "Recupera o último número LSTX", "Comando",
     {"DOShift", "r", "DOfuncion", kCommandSound}},
    {'s', 's', 0, 0, "S", "Armazenamento de Dados STO+", "Comando", {"s", "DOfuncion", kCommandSound}},
    {'d', 'd', 0, 0, "D", "Configurações decimais", "Comando", {"d", "DOfuncion", kCommandSound}},
    {'D', 'D', 0, 0, "SHIFT + D", "Formato de Data D.MY", "Fun. Data",
     {"DOShift", "d", "DOfuncion", kCommandSound}},
    {0, 0, 'D', 0, "CTRL + D", "Formato de Data M.DY", "Fun. Data",
     {"DOControl", "d", "DOfuncion", kCommandSound}},
    {'h', 'h', 0, 0, "H", "Número de días entre Datas", "Fun. Data", {"h", "DOfuncion", kCommandSound}},
    {'H', 'H', 0, 0, "SHIFT + H", "Datas Futuras/Passadas", "Fun.Data",
     {"DOShift", "h", "DOfuncion", kCommandSound}},
};
// clang-format on

constexpr int kPageRows = 13;  // key rows on one page, rows 12 to 24

template <size_t N>
const KeyTestRow* Find(const KeyTestRow (&rows)[N], unsigned char code) {
  for (const KeyTestRow& row : rows) {
    bool match = row.ctrl ? CtrlLetterHeld(row.ctrl) : code >= row.first && code <= row.last;
    if (match) return &row;
  }
  return nullptr;
}

// Writes and says one row on screen row `line`; the cursor ends at the start
// of the next row.
void ShowRow(const KeyTestRow& row, unsigned char code, int line) {
  char own = row.own ? static_cast<char>(row.own + (code - row.first)) : 0;
  // In a terminal the console's Ctrl+M (BEG/END) is typed as Ctrl+J.
  bool ctrl_j = row.ctrl == 'M' && g_console.frontend && g_console.frontend->CtrlMIsEnter();
  auto write_key = [&] {
    MoveCursor(1, line);
    ConsoleWrite(ctrl_j ? std::string("CTRL + J")
                        : Cp1252(row.key) + (own ? std::string(1, own) : ""));
  };
  auto write_rest = [&] {
    MoveCursor(26, line);
    ConsoleWrite(Cp1252(row.function));
    if (row.red) {
      SetTextColour(4);
      ConsoleWrite(row.red);
      SetTextColour(15);
    }
    MoveCursor(60, line);
    ConsoleWrite(Cp1252(row.kind));
  };
  bool staged = false;
  for (const char* sound : row.sounds) staged = staged || sound == kWriteKey;
  if (!staged) {
    write_key();
    write_rest();
  }
  SetBrailleFocus(line);
  for (const char* sound : row.sounds) {
    if (!sound) break;
    if (sound == kWriteKey)
      write_key();
    else if (sound == kWriteRest)
      write_rest();
    else if (sound == kCommandSound)
      PlaySoundKey(
          FindCommand(row.ctrl ? static_cast<char>(row.ctrl & 0x1f) : static_cast<char>(row.first))
              ->sound);
    else if (sound == kOwn)
      SpellCharacter(static_cast<unsigned char>(own));
    else if (sound[1] == '\0')
      SpellCharacter(static_cast<unsigned char>(ctrl_j && sound[0] == 'm' ? 'j' : sound[0]));
    else
      PlaySoundKey(sound);
  }
  MoveCursor(1, line + 1);
}

}  // namespace

void RunKeyTest() {
  ShowGuidanceScreen(GuidanceScreen::kKeyTest);
  PlaySoundKey("DOF2TestarTeclado");
  PlaySoundKey("DOF2TestarTeclado1");
  int lines = 0;
  for (;;) {
    SetTextColour(15);
    SetBackgroundColour(0);
    unsigned char code = ReadKey();
    int line = CursorRow();
    const KeyTestRow* row = nullptr;
    if (code == '<') {
      PlaySoundKey("DOTECLAINV");
      continue;
    }
    if (code == kCtrlT) return;
    if (code == 0) {
      code = ReadKey();
      row = Find(kExtendedRows, code);
      if (!row) PlaySoundKey("DOTECLAINV");  // still counted
    } else if (code == kEsc) {
      PlaySoundKey("DOESC");
      return;
    } else {
      row = Find(kOrdinaryRows, code);
      if (!row) {
        PlaySoundKey("DOTECLAINV");
        continue;
      }
    }
    if (row) ShowRow(*row, code, line);
    if (++lines == kPageRows) {
      ShowGuidanceScreen(GuidanceScreen::kKeyTest);
      lines = 0;
    }
  }
}

}  // namespace quipular
