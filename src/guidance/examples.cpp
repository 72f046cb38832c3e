// The examples' dispatcher, the repeat question and the interactive
// examples: the user types through the real operand entry, and the example
// checks, computes and announces the result with the calculator's own
// operations.
#include "guidance/examples.h"

#include <cmath>
#include <string>

#include "calculator/command_actions.h"
#include "calculator/command_loop.h"
#include "calculator/commands.h"
#include "calculator/errors.h"
#include "calculator/model.h"
#include "calculator/operand_entry.h"
#include "calculator/spoken_results.h"
#include "calculator/stack_display.h"
#include "calculator/working_screen.h"
#include "console/key_codes.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "functions/arithmetic.h"
#include "functions/number_text.h"
#include "functions/operand_stack.h"
#include "functions/registers.h"
#include "guidance/lessons.h"
#include "guidance/repeat_question.h"
#include "guidance/screens.h"
#include "voice/named_sounds.h"

namespace quipular {

namespace {

// What the steps of an example ask for, and how its pass ends.
enum class Ending {
  kOneValue,   // a value and a function of it
  kTwoValues,  // two values (Y, then X) and an operator
  kNumber,     // a number typed and spoken back
  kDecimals,   // the decimals key and a digit
};

enum class Ask {
  kValue,     // a number
  kKey,       // the function or operator key
  kDecimals,  // the decimals key; operand entry returns once it is chosen
};

struct Step {
  Ask ask;
  const char* lines[3];  // the prompt, one console line each
  const char* sound;
  int pause;  // after the prompt sound, in milliseconds
};

struct InteractiveExample {
  int row;  // menu entry
  const char* title;
  const char* title_sound;
  Ending ending;
  const char* result;  // the line above the result; null for the entry examples
  Step steps[3];       // unused steps have no sound
};

constexpr const char* kResult = " O resultado é: ";

constexpr InteractiveExample kExamples[] = {
    {2,
     " ENTRANDO NUMEROS ",
     "DOexemplo12",
     Ending::kNumber,
     nullptr,
     {{Ask::kValue, {" Digite um valor, e aperte ENTER. "}, "DOexemplos12-1", 200}}},
    {3,
     " DIGITACAO DE NUMEROS GRANDES ",
     "DOexemplo10",
     Ending::kNumber,
     nullptr,
     {{Ask::kValue,
       {" Digite o valor da mantissa, pressione E para inserir o comando expoente. ",
        " Seguido Digite o valor do expoente e aperte ENTER "},
       "DOexemplos10-1",
       200}}},
    {4,
     " NUMEROS DE CASAS DECIMAIS ",
     "DOexemplo11",
     Ending::kDecimals,
     nullptr,
     {{Ask::kDecimals,
       {" Pressione a telcla D, para inserir o comando de configuração do número ",
        " de casas decimais. ",
        " Seguido digitamos um valor entre 0 e 9. este especifica o #Decimais.   "},
       "DOexemplos11-1",
       200}}},
    {5,
     " SOMAR DOIS VALORES ",
     "DOexemplo1",
     Ending::kTwoValues,
     kResult,
     {{Ask::kValue, {" Digite o primeiro valor e aperte ENTER. "}, "DOexemplos1-1", 100},
      {Ask::kValue, {" Digite o Segundo valor e aperte ENTER. "}, "DOexemplos1-2", 100},
      {Ask::kKey,
       {" Pressione +, e aperte ENTER para executar a operação. "},
       "DOexemplos1-3",
       200}}},
    {6,
     " CALCULO DA RAIZ QUADRADA ",
     "DOexemplo2",
     Ending::kOneValue,
     kResult,
     {{Ask::kValue, {" Digite um valor e aperte ENTER. "}, "DOexemplos2-1", 100},
      {Ask::kKey,
       {" Pressione SHIFT-X para inserir a função SQRT, e aperte ENTER. "},
       "DOexemplos2-2",
       100}}},
    {7,
     " CALCULO DO LOGARITMO NATURAL ",
     "DOexemplo3",
     Ending::kOneValue,
     kResult,
     {{Ask::kValue, {" Digite um valor e aperte ENTER. "}, "DOexemplos3-1", 100},
      {Ask::kKey,
       {" Pressione CONTROL-X para inserir a função LN, e aperte ENTER. "},
       "DOexemplos3-2",
       100}}},
    {8,
     " CALCULO DO EXPONENCIAL ",
     "DOexemplo4",
     Ending::kOneValue,
     "O resultado é: ",
     {{Ask::kValue, {" Digite um valor, e aperte ENTER. "}, "DOexemplos4-1", 100},
      {Ask::kKey,
       {" Pressione SHIFT-E para inserir a função exponencial, e aperte ENTER. "},
       "DOexemplos4-2",
       100}}},
    {9,
     " CALCULO DA POTENCIA ",
     "DOexemplo5",
     Ending::kTwoValues,
     kResult,
     {{Ask::kValue, {" Digite o valor da base e aperte ENTER. "}, "DOexemplos5-1", 100},
      {Ask::kValue, {" Digite o valor do exponente e aperte ENTER. "}, "DOexemplos5-2", 100},
      {Ask::kKey,
       {" Pressione CONTROL-E para inserir a função Potencia, e aperte ENTER. "},
       "DOexemplos5-3",
       100}}},
    {10,
     " CALCULO DO INVERSO ",
     "DOexemplo6",
     Ending::kOneValue,
     kResult,
     {{Ask::kValue, {" Digite um valor e aperte ENTER. "}, "DOexemplos6-1", 100},
      {Ask::kKey,
       {" Pressione X para inserir a função Inverso, e aperte ENTER. "},
       "DOexemplos6-2",
       100}}},
    {11,
     " CALCULO DO FATORIAL ",
     "DOexemplo7",
     Ending::kOneValue,
     kResult,
     {{Ask::kValue, {" Digite um valor e aperte ENTER. "}, "DOexemplos7-1", 100},
      {Ask::kKey,
       {" Pressione f para inserir a função fatorial, e aperte ENTER. "},
       "DOexemplos7-2",
       100}}},
    {12,
     " PARTE INTEIRA DO VALOR ",
     "DOexemplo8",
     Ending::kOneValue,
     kResult,
     {{Ask::kValue, {" Digite um valor decimal e aperte ENTER. "}, "DOexemplos8-1", 100},
      {Ask::kKey,
       {" Pressione G para inserir a função parte inteira e aperte ENTER. "},
       "DOexemplos8-2",
       100}}},
    {13,
     " PARTE FRACIONARIA DO VALOR ",
     "DOexemplo9",
     Ending::kOneValue,
     kResult,
     {{Ask::kValue, {" Digite um valor decimal e aperte ENTER. "}, "DOexemplos9-1", 100},
      {Ask::kKey,
       {" Pressione SHIFT-G para inserir a função parte fracionaria, e aperte ENTER. "},
       "DOexemplos9-2",
       100}}},
};

bool IsEntry(Ending ending) {
  return ending == Ending::kNumber || ending == Ending::kDecimals;
}

// The command of a key the example can compute with: one the command table
// marks for the examples, taking as many values as the example asks for.
const Command* ExampleCommand(const InteractiveExample& example, const std::string& token) {
  const Command* c = token.size() == 1 ? FindCommand(token[0]) : nullptr;
  unsigned values = example.ending == Ending::kOneValue ? 1 : 2;
  return c && c->example && c->operands == values ? c : nullptr;
}

// Whether a token answers its step: a number for a value step, a key the
// example can compute with for the key step.
bool Answers(const InteractiveExample& example, Ask ask, const std::string& token) {
  switch (ask) {
    case Ask::kValue:
      return IsOperandToken(token);
    case Ask::kKey:
      return ExampleCommand(example, token) != nullptr;
    case Ask::kDecimals:
      return true;
  }
  return true;
}

enum class Pass { kDone, kAgain, kLeft };

// Checks and computes the result from the entered values with the command
// the user chose, as the command loop would; false when the calculator
// refuses the operands.
bool Compute(const InteractiveExample& example, const double* values, const Command& command,
             double& result, Operands& operands) {
  bool one = example.ending == Ending::kOneValue;
  // The stack is empty, so the command's pops leave these as they are.
  operands.y = one ? 0 : values[0];
  operands.x = one ? values[0] : values[1];
  if (!RunCommand(command, operands)) {
    if (command.compute.one == SquareRoot) {
      Pause(100);
      PlaySoundKey("DOerror0Raiz");
    }
    return false;
  }
  result = operands.result;
  if (std::isnan(result)) {
    ReportError(0);
    return false;
  }
  result = BoundInfinity(result);
  return true;
}

Pass RunPass(const InteractiveExample& example, Operands& operands) {
  EmptyStack(g_stack);
  ShowGuidanceScreen(GuidanceScreen::kInteractiveExamples);
  bool entry = IsEntry(example.ending);
  Colours(15, 2);
  if (entry) ConsoleWriteLine();
  ConsoleWriteLine(Cp1252(example.title));
  PlaySoundKey(example.title_sound);
  Pause(100);
  if (!entry) ConsoleWriteLine();

  double values[2] = {};
  int count = 0;
  const Command* command = nullptr;
  for (const Step& step : example.steps) {
    if (!step.sound) break;
    std::string token;
    for (;;) {
      Colours(15, 1);
      for (const char* line : step.lines)
        if (line) ConsoleWriteLine(Cp1252(line));
      PlaySoundKey(step.sound);
      Pause(step.pause);
      if (entry) ConsoleWriteLine();
      token.clear();
      ReadOperand(g_stack, operands, token,
                  step.ask == Ask::kDecimals ? EntryMode::kExampleDecimals : EntryMode::kExample);
      if (token == "\x1b") return Pass::kLeft;
      if (Answers(example, step.ask, token)) break;
      PlaySoundKey("DOTECLAINV");
    }
    if (step.ask == Ask::kValue) {
      double v = NumberValue(token);
      operands.x = v;
      KeepDecimalsFor(v);
      SpeakNumber(v);
      values[count++] = v;
    } else if (step.ask == Ask::kKey) {
      command = ExampleCommand(example, token);
    }
  }

  if (entry) {
    ConsoleWriteLine();
    EmptyStack(g_stack);
    return Pass::kDone;
  }
  double result = 0;
  if (!command || !Compute(example, values, *command, result, operands)) return Pass::kAgain;
  Colours(15, 1);
  ConsoleWriteLine(Cp1252(example.result));
  PlaySoundKey("DOexemplosResult");
  Colours(15, 0);
  Pause(200);
  PushValue(g_stack, result);
  ShowStack(g_stack);
  AnnounceResult(result);
  Pause(200);
  return Pass::kDone;
}

ExampleEnd RunInteractive(const InteractiveExample& example, Operands& operands) {
  for (;;) {
    Pass pass = RunPass(example, operands);
    // The exit dialogue was declined: back to the calculator, as after Esc
    // at the repeat question.
    if (pass == Pass::kLeft) return ExampleEnd::kToCalculator;
    if (pass != Pass::kDone) continue;
    ExampleEnd end = AskRepeatExample();
    if (end != ExampleEnd::kRepeat) return end;
  }
}

}  // namespace

ExampleEnd RunExample(char kind, int row, Operands& operands) {
  Colours(15, 0);
  if (row == 0) {
    PlaySoundKey("DOTECLAINV");
    MoveCursor(11, CursorRow());
    return ExampleEnd::kNoExample;
  }
  if (kind != 'u') return RunLesson(kind, row);
  ExampleEnd end = ExampleEnd::kNoExample;
  for (const InteractiveExample& example : kExamples)
    if (example.row == row) end = RunInteractive(example, operands);
  return end;
}

}  // namespace quipular
