// The command table and its look-ups.
#include "calculator/commands.h"

#include <array>
#include <cmath>
#include <iterator>

#include "calculator/model.h"
#include "console/key_codes.h"
#include "console/text_encoding.h"
#include "functions/arithmetic.h"
#include "functions/cash_flows.h"
#include "functions/depreciation.h"
#include "functions/registers.h"
#include "functions/statistics.h"
#include "functions/tvm.h"

namespace quipular {
namespace {

using E = EntryKind;
using L = Logged;
using M = MenuColumnId;
using A = Action;

constexpr bool Whole(double v) {
  return v == std::trunc(v);
}

// clang-format off
// Z- has two keys: Shift+Z takes the pair to take away from the stack.
constexpr Command kTakeAwayPair =
    {'Z', "Z-", "DOsumatoriaCorre", "Z-", E::kWaits, L::kByLoop, 2, A::kTakeAway,
     {.pair = RemovePair},
     nullptr, 2, {M::kStatistics, 20}, "CORRECAO", nullptr, "DoayudaSumaCorre",
     {.function = "Correção Estatísticas Z-", .kind = "Fun. Estatisticas", .shift = "DOSHIFT"},
     false, false};

// The cash-flow key: CFj, the next flow (kCFo below names the first).
constexpr Command kCashFlowKey =
    {'k', "CFj", "DOCFj", "CFj", E::kStore, L::kByLoop, 0, A::kCashFlow,
     {.recall = LastCashFlow, .cash_flow = AppendCashFlow},
     nullptr, 6, {M::kFinancialRegisters, 80}, "CFj", nullptr, "DoayudaCFo",
     {.function = "Fluxo de Caixa Cfo/Cfj", .kind = "Reg. Financeiros", .stores = true}, true,
     false};
// clang-format on

// Ctrl+Z is the same command on the pair the last command took from the
// stack (after Z+, the pair it added): it takes nothing from the stack, and
// the menu lists only Shift+Z.
constexpr Command TakeAwayLastPair(Command c) {
  c.key = kCtrlZ;
  c.operands = 0;
  c.menu = {};
  c.menu_name = c.help = nullptr;
  c.key_test.shift = KeyTestText{}.shift;
  return c;
}

// clang-format off
constexpr Command kCommands[] = {
    // key, label, sound, log name, entry, logged, operands, action, computation,
    //   domain check, error, menu place, menu name, menu sound, help,
    //   key test (the blanks inside some of its FUNÇÃO texts are no-break spaces),
    //   quiet in the menu, in the examples
    {'+', "+", "DOmas", "+", E::kWaits, L::kByLoop, 2, A::kTwoNumbers, {.two = Add},
     nullptr, 0, {}, nullptr, nullptr, nullptr,
     {.function = "Soma", .kind = "Op. Basicas", .sound = "DOSumar"}, false, true},
    {'-', "-", "DOmenos1", "-", E::kMinus, L::kByLoop, 2, A::kTwoNumbers, {.two = Subtract},
     nullptr, 0, {}, nullptr, nullptr, nullptr,
     {.function = "Subtração", .kind = "Op. Basicas", .sound = "DOrestar"}, false, true},
    {'*', "*", "DOvezes", "*", E::kWaits, L::kByLoop, 2, A::kTwoNumbers, {.two = Multiply},
     nullptr, 0, {}, nullptr, nullptr, nullptr,
     {.function = "Multiplicação", .kind = "Op. Basicas", .sound = "DOmultiplicar"}, false, true},
    {'/', "/", "DOdivide", "/", E::kWaits, L::kByLoop, 2, A::kDivide, {.two = Divide},
     [](double, double x) { return x != 0; }, 0, {}, nullptr, nullptr, nullptr,
     {.function = "Divisão", .kind = "Op. Basicas", .sound = "DOdividir"}, false, true},
    {'t', "", "DOCHS", "CHS", E::kChangeSign, L::kByLoop, 1, A::kChangeSign, {},
     nullptr, 0, {M::kCommands, 10}, "CHS", nullptr, "DOayudaCHS",
     {"Troca o sinal", "Comando"}, true, false},
    {'e', "E", "DOEEX", "E", E::kExponent, L::kByEntry, 0, A::kNone, {},
     nullptr, 0, {M::kCommands, 20}, "EEX", nullptr, "DOayudaEEX",
     {.function = "Expoente ", .kind = "Comando", .red = "E"}, true, false},
    {'x', "1/x", "DOinverso", "1/x", E::kWaits, L::kByLoop, 1, A::kOneNumber, {.one = Reciprocal},
     [](double, double x) { return x != 0; }, 0, {M::kGeneral, 30}, "1/x", nullptr,
     "DOayudaInverso",
     {"Inverso 1/x", "Fun. Gerais"}, false, true},
    {'X', "Sqrt", "DOraiz", "Sqrt", E::kWaits, L::kByLoop, 1, A::kOneNumber, {.one = SquareRoot},
     [](double, double x) { return x >= 0; }, 0, {M::kGeneral, 20}, "SQRT", nullptr, "DOayudaRaiz",
     {.function = "Raiz Quadrada SQRT", .kind = "Fun. Gerais", .shift = "DOSHIFT"}, false, true},
    {kCtrlX, "LN", "DOlogaritmo", "LN", E::kWaits, L::kByLoop, 1, A::kOneNumber,
     {.one = NaturalLog},
     [](double, double x) { return x > 0; }, 0, {M::kGeneral, 50}, "LN", nullptr, "DOayudaLN",
     {"Logaritmo Natural LN", "Fun. Gerais"}, false, true},
    {'E', "e^x", "DOexponencial", "e^x", E::kWaits, L::kByLoop, 1, A::kOneNumber,
     {.one = Exponential},
     [](double, double x) { return x <= 300; }, 0, {M::kGeneral, 40}, "EXP", nullptr,
     "DOayudaExponencial",
     {.function = "Exponencial e^x", .kind = "Fun. Gerais", .shift = "DOSHIFT"}, false, true},
    {kCtrlE, "y^x", "DOelevado", "y^x", E::kWaits, L::kByLoop, 2, A::kTwoNumbers, {.two = Power},
     [](double y, double x) {
       return !(x > 50 || y > 100000 || (!Whole(x) && y < 0) || (x <= 0 && y == 0));
     },
     0, {M::kGeneral, 10}, "POTENCIA", nullptr, "DOayudaPotencia",
     {"Potencia y^x", "Fun. Gerais"}, false, true},
    {'f', "n!", "DOfactorial", "n!", E::kWaits, L::kByLoop, 1, A::kOneNumber, {.one = Factorial},
     [](double, double x) { return x >= 0 && Whole(x) && x <= 200; }, 0, {M::kGeneral, 60}, "n!",
     nullptr, "DOayudaFactorial",
     {"Fatorial n!", "Fun. Gerais"}, false, true},
    {'g', "INTG", "DOparteint", "INTG", E::kWaits, L::kByLoop, 1, A::kOneNumber, {.one = WholePart},
     nullptr, 0, {M::kGeneral, 80}, "INTG", nullptr, "DOayudaINTG",
     {"Parte inteira INTG", "Fun. Gerais"}, false, true},
    {'G', "FRAC", "DOpartefracc", "FRAC", E::kWaits, L::kByLoop, 1, A::kOneNumber,
     {.one = FractionalPart},
     nullptr, 0, {M::kGeneral, 70}, "FRAC", "DOPartefracc", "DOayudaFRAC",
     {.function = "Parte Fraccionaria FRAC", .kind = "Fun. Gerais", .shift = "DOSHIFT"}, false,
     true},
    {'%', "%", "DOporcentaje", "%", E::kWaits, L::kByLoop, 2, A::kPercent, {.two = Percent},
     nullptr, 0, {M::kPercentAndDates, 10}, "%", nullptr, "Doayuda%",
     {"Porcentagem", "Fun. Porcentagem"}, false, false},
    {'y', "D%", "DOdifporcentaje", "D%", E::kWaits, L::kByLoop, 2, A::kPercentKeepBase,
     {.two = PercentDifference},
     [](double y, double) { return y != 0; }, 0, {M::kPercentAndDates, 30}, "D%", nullptr,
     "Doayudad%",
     {"Diferença Porcentual D%", "Fun. Porcentagem"}, false, false},
    {'Y', "%T", "DOtotporcentaje", "%T", E::kWaits, L::kByLoop, 2, A::kPercentKeepBase,
     {.two = PercentOfTotal},
     [](double y, double) { return y != 0; }, 0, {M::kPercentAndDates, 20}, "%T", nullptr,
     "Doayuda%T",
     {.function = "Porcentagem do Total %T", .kind = "Fun. Porcentagem", .shift = "DOSHIFT"}, false,
     false},
    {'z', "Z+ = ", "DOsumatoria", "Z+", E::kAtOnce, L::kByLoop, 2, A::kAccumulate,
     {.pair = AddPair},
     nullptr, 2, {M::kStatistics, 10}, "ACUMULACAO", nullptr, "DoayudaSuma",
     {"Acumulação Estatísticas Z+", "Fun. Estatisticas"}, false, false},
    kTakeAwayPair,
    TakeAwayLastPair(kTakeAwayPair),
    {'q', "Media", "DOmedia", "Media", E::kWaits, L::kByLoop, 0, A::kStatistic,
     {.statistic = Means},
     nullptr, 2, {M::kStatistics, 30}, "MEDIA", nullptr, "DoayudaMedia",
     {"Media Aritmetica ", "Fun. Estatisticas"}, false, false},
    {'Q', "Xw", "DOmediapon", "Xw", E::kWaits, L::kByLoop, 0, A::kStatistic,
     {.statistic = WeightedMean},
     nullptr, 2, {M::kStatistics, 50}, "MEDIA PONDERADA", nullptr, "DoayudaMediaPon",
     {.function = "Media Ponderada Xw", .kind = "Fun. Estatisticas", .shift = "DOSHIFT"}, false,
     false},
    {kCtrlQ, "S", "DOdesviopa", "S", E::kWaits, L::kByLoop, 0, A::kStatistic,
     {.statistic = StandardDeviations},
     nullptr, 2, {M::kStatistics, 40}, "DESVIO PADRAO", nullptr, "DoayudaDesvio",
     {"Desvio\u00a0Padrão\u00a0S", "Fun. Estatisticas"}, false, false},
    {'w', "ELx", "DOEstimax", "ELx", E::kWaits, L::kByLoop, 0, A::kStatistic,
     {.statistic = EstimateX},
     nullptr, 2, {M::kStatistics, 60}, "ESTIMACAO LINEAR X", "DOestimax", "DoayudaEstimaX",
     {"Estimação\u00a0linear\u00a0de\u00a0X", "Fun. Estatisticas"}, false, false},
    {'W', "ELy", "DOEstimay", "ELy", E::kWaits, L::kByLoop, 0, A::kStatistic,
     {.statistic = EstimateY},
     nullptr, 2, {M::kStatistics, 70}, "ESTIMACAO LINEAR Y", "DOestimay", "DoayudaEstimaY",
     {.function = "Estimação\u00a0linear\u00a0de\u00a0Y", .kind = "Fun. Estatisticas",
      .shift = "DOSHIFT"},
     false, false},
    {kCtrlW, "r", "DOcorrelacion", "r", E::kWaits, L::kByLoop, 0, A::kStatistic,
     {.statistic = Correlation},
     nullptr, 2, {M::kStatistics, 80}, "COEFICIENTE DE CORRELACAO", nullptr, "DoayudaCorrelacion",
     {"Coeficiente\u00a0de\u00a0correlação", "Fun. Estatisticas"}, false, false},
    {'n', "n", "DOn", "n", E::kStore, L::kByLoop, 0, A::kStoreFinancial,
     {.store = StoreN, .recall = RecallN},
     nullptr, 0, {M::kFinancialRegisters, 10}, "n", nullptr, "Doayudan",
     {.function = "Numero de períodos", .kind = "Reg. Financeiros", .stores = true}, true, false},
    {'N', "CALCULO n", "DOnCalculo", "CALCULO n", E::kWaits, L::kByLoop, 0, A::kSolve,
     {.solve = SolveN},
     nullptr, 5, {M::kFinancialFunctions, 10}, "Calculo n", nullptr, "DoayudaCN",
     {"Cálculo Numero de períodos", "Fun. Financeiras"}, false, false},
    {kCtrlN, "n12X", "DOn12", "12x", E::kStore, L::kByLoop, 0, A::kStoreFinancial,
     {.store = StoreTwelveN, .stored_as = TwelveTimes},
     nullptr, 0, {M::kFinancialRegisters, 60}, "12X", nullptr, "Doayuda12X",
     {.function = "Numero de períodos 12 vezes", .kind = "Reg. Financeiros", .stores = true}, true,
     false},
    {'i', "i", "DOi", "i", E::kStore, L::kByLoop, 0, A::kStoreFinancial,
     {.store = StoreI, .recall = RecallI},
     nullptr, 0, {M::kFinancialRegisters, 20}, "i", nullptr, "Doayudai",
     {.function = "Taxa de Juros", .kind = "Reg. Financeiros", .stores = true}, true, false},
    {'I', "CALCULO i", "DOiCalculo", "CALCULO i", E::kWaits, L::kByLoop, 0, A::kSolve,
     {.solve = SolveI},
     nullptr, 5, {M::kFinancialFunctions, 20}, "Calculo i", nullptr, "DoayudaCI",
     {"Calculo Taxa de Juros", "Fun. Financeiras"}, false, false},
    {kCtrlI, "i12/", "DOi12", "12/", E::kStore, L::kByLoop, 0, A::kStoreFinancial,
     {.store = StoreTwelfthI, .stored_as = OneTwelfth},
     nullptr, 0, {M::kFinancialRegisters, 70}, "12/", nullptr, "Doayuda12i",
     {.function = "Taxa de Juros dividido 12", .kind = "Reg. Financeiros", .stores = true}, true,
     false},
    {'p', "PV", "DOpv", "PV", E::kStore, L::kByLoop, 0, A::kStoreFinancial,
     {.store = StorePV, .recall = RecallPV},
     nullptr, 0, {M::kFinancialRegisters, 30}, "PV", nullptr, "DoayudaPV",
     {.function = "Valor Presente", .kind = "Reg. Financeiros", .stores = true}, true, false},
    {'P', "CALCULO PV", "DOpvCalculo", "CALCULO PV", E::kWaits, L::kByLoop, 0, A::kSolve,
     {.solve = SolvePV},
     nullptr, 5, {M::kFinancialFunctions, 30}, "Calculo PV", nullptr, "DoayudaCPV",
     {"Calculo Valor Presente", "Fun. Financeiras"}, true, false},
    {'m', "PMT", "DOpmt", "PMT", E::kStore, L::kByLoop, 0, A::kStoreFinancial,
     {.store = StorePMT, .recall = RecallPMT},
     nullptr, 0, {M::kFinancialRegisters, 40}, "PMT", nullptr, "DoayudaPMT",
     {.function = "Pagamento Periodico", .kind = "Reg. Financeiros", .stores = true}, true, false},
    {'M', "CALCULO PMT", "DOpmtCalculo", "CALCULO PMT", E::kWaits, L::kByLoop, 0, A::kSolve,
     {.solve = SolvePMT},
     nullptr, 5, {M::kFinancialFunctions, 40}, "Calculo PMT", nullptr, "DoayudaCPMT",
     {"Calculo Pagamento Periodico", "Fun. Financeiras"}, false, false},
    {'v', "FV", "DOfv", "FV", E::kStore, L::kByLoop, 0, A::kStoreFinancial,
     {.store = StoreFV, .recall = RecallFV},
     nullptr, 0, {M::kFinancialRegisters, 50}, "FV", nullptr, "DoayudaFV",
     {.function = "Valor Futuro", .kind = "Reg. Financeiros", .stores = true}, true, false},
    {'V', "CALCULO FV", "DOfvCalculo", "CALCULO FV", E::kWaits, L::kByLoop, 0, A::kSolve,
     {.solve = SolveFV},
     nullptr, 5, {M::kFinancialFunctions, 50}, "Calculo FV", nullptr, "DoayudaCFV",
     {"Calculo Valor Futuro", "Fun. Financeiras"}, false, false},
    kCashFlowKey,
    {'K', "NPV", "DONPV", "NPV", E::kWaits, L::kByLoop, 0, A::kSolve, {.solve = NetPresentValue},
     nullptr, 5, {M::kFinancialFunctions, 80}, "NPV", nullptr, "DoayudaNPV",
     {"Valor Presente Liquido", "Fun. Financeiras"}, false, false},
    {'T', "IRR", "DOIRR", "IRR", E::kWaits, L::kByLoop, 0, A::kSolve,
     {.solve = InternalRateOfReturn},
     nullptr, 7, {M::kFinancialFunctions, 85}, "IRR", nullptr, "DoayudaIRR",
     {"Taxa Interna de Retorno IRR", "Fun. Financeiras"}, false, false},
    {kCtrlK, "Nj", "DONj", "Nj", E::kStore, L::kByLoop, 0, A::kCashFlow,
     {.cash_flow = RepeatCashFlow},
     nullptr, 6, {M::kFinancialRegisters, 90}, "Nj", nullptr, "DoayudaNj",
     {"Fluxo de Caixa Repetido Nj", "Reg. Financeiros"}, true, false},
    {'l', "DB", "DODB", "DB", E::kWaits, L::kByLoop, 0, A::kDepreciation,
     {.depreciate = DecliningBalance},
     nullptr, 5, {M::kFinancialFunctions, 90}, "DB", nullptr, "DoayudaDB",
     {"Dep. Saldos Decrescentes DB", "Fun. Financeiras"}, false, false},
    {'L', "SL", "DOSL", "SL", E::kWaits, L::kByLoop, 0, A::kDepreciation,
     {.depreciate = StraightLine},
     nullptr, 5, {M::kFinancialFunctions, 100}, "SL", nullptr, "DoayudaSL",
     {"Dep. linear SL", "Fun. Financeiras"}, false, false},
    {kCtrlL, "SOYD", "DOSOYD", "SOYD", E::kWaits, L::kByLoop, 0, A::kDepreciation,
     {.depreciate = SumOfYearsDigits},
     nullptr, 5, {M::kFinancialFunctions, 110}, "SOYD", nullptr, "DoayudaSOYD",
     {"Dep. Soma Digitos Anos SOYD", "Fun. Financeiras"}, false, false},
    {'j', "JUROS SIMPLES", "DOintsimple", "INT", E::kWaits, L::kByLoop, 0, A::kStacked,
     {.stacked = SimpleInterestOn},
     nullptr, 0, {M::kFinancialFunctions, 70}, "INT", nullptr, "DoayudaJS",
     {"Juros Simples", "Fun. Financeiras"}, false, false},
    {'J', "AMORTIZAÇÃO", "DOAmort", "AMORT", E::kWaits, L::kByLoop, 0, A::kStacked,
     {.stacked = Amortize},
     nullptr, 5, {M::kFinancialFunctions, 60}, "AMORT", nullptr, "DoayudaAMORT",
     {"Amortização", "Fun. Financeiras"}, false, false},
    {'a', "APAGA R.DADOS", "DOcleartodo", "CLEAR REG", E::kAtOnceLine, L::kByLoop, 0, A::kClear,
     {.clear = ClearAllRegisters},
     nullptr, 0, {M::kCommands, 110}, "A.REG", "DOCleartodo", "DOayudaAR",
     {"Apaga Registro Dados Geral", "Comando"}, true, false},
    {'A', "APAGA R.ESTATISTICOS", "DOclearesta", "CLEAR ESTATISTICOS", E::kAtOnceLine, L::kByLoop,
     0, A::kClear, {.clear = ClearStatisticsBlock},
     nullptr, 0, {M::kCommands, 120}, "A.ESTA", "DOClearEsta", "DOayudaARE",
     {"Apaga Registros Estatisticos", "Comando"}, true, false},
    {kCtrlA, "APAGA R.FINANCEIROS", "DOclearfin", "CLEAR FINANCEIROS", E::kAtOnceLine, L::kByLoop,
     0, A::kClear, {.clear = ClearFinancialBlock},
     nullptr, 0, {M::kCommands, 130}, "A.FIN", "DOClearFin", "DOayudaARF",
     {"Apaga Registros Financeiros", "Comando"}, true, false},
    {'r', "RCL+", "DOrecupera", "RCL", E::kAtOnce, L::kByLoop, 0, A::kRecall, {},
     nullptr, 0, {M::kCommands, 40}, "RCL", nullptr, "DOayudaRCL",
     {"Recuperação de Dados RCL+", "Comando"}, true, false},
    {'R', "LSTX", "DOLSTX", "LSTx", E::kAtOnce, L::kByLoop, 0, A::kLastX, {},
     nullptr, 0, {M::kCommands, 140}, "LSTx", nullptr, "DOayudaLSTx",
     {"Recupera o último número LSTX", "Comando"}, true, false},
    {'s', "STO+", "DOSTO", "STO", E::kAtOnce, L::kByLoop, 1, A::kStore, {},
     nullptr, 0, {M::kCommands, 30}, "STO", nullptr, "DOayudaSTO",
     {"Armazenamento de Dados STO+", "Comando"}, true, false},
    {'d', "#DECIMAIS = ", "DOdecimais", "", E::kDecimals, L::kByEntry, 0, A::kNone, {},
     nullptr, 0, {M::kCommands, 90}, "#DECIMAIS", nullptr, "DOayudaDecimais",
     {"Configurações decimais", "Comando"}, true, false},
    {'D', "D.MY", "DODMY", "D.MY", E::kWaits, L::kByAction, 0, A::kDayMonthYear, {},
     nullptr, 0, {M::kPercentAndDates, 40}, "D.MY", nullptr, "DoayudaDMA",
     {"Formato de Data D.MY", "Fun. Data"}, false, false},
    {kCtrlD, "M.DY", "DOMDY", "M.DY", E::kWaits, L::kByAction, 0, A::kMonthDayYear, {},
     nullptr, 0, {M::kPercentAndDates, 50}, "M.DY", nullptr, "DoayudaMDA",
     {"Formato de Data M.DY", "Fun. Data"}, false, false},
    {'h', "DDYS", "DODDYS", "DDYS", E::kWaitsFree, L::kByAction, 0, A::kDaysBetween, {},
     nullptr, 0, {M::kPercentAndDates, 70}, "DDYS", nullptr, "DoayudaDDYS",
     {"Número de días entre Datas", "Fun. Data"}, false, false},
    {'H', "DATE", "DODATE", "DATE", E::kWaitsFree, L::kByAction, 1, A::kDateAfterDays, {},
     nullptr, 0, {M::kPercentAndDates, 60}, "DATE", nullptr, "DoayudaDATE",
     {"Datas Futuras/Passadas", "Fun.Data"}, true, false},
};
// clang-format on

// Row number + 1 of each key code, 0 for none: every key typed is looked up.
constexpr auto kIndex = [] {
  std::array<unsigned char, 256> index{};
  for (size_t i = 0; i < std::size(kCommands); ++i)
    index[static_cast<unsigned char>(kCommands[i].key)] = static_cast<unsigned char>(i + 1);
  return index;
}();

// The cash-flow key before any amount is entered: CFo, the first flow.
constexpr Command kCFo = [] {
  Command c = kCashFlowKey;
  c.label = c.log_name = "CFo";
  c.sound = "DOCFo";
  c.menu = {};
  c.menu_name = c.help = nullptr;
  c.key_test = {};
  return c;
}();

}  // namespace

std::span<const Command> Commands() {
  return kCommands;
}

const Command* FindCommand(char key) {
  unsigned char row = kIndex[static_cast<unsigned char>(key)];
  return row ? &kCommands[row - 1] : nullptr;
}

const Command* FindEntry(EntryKind kind) {
  for (const Command& c : kCommands)
    if (c.entry == kind) return &c;
  return nullptr;
}

const Command* FindKey(char key) {
  if (key == kCFo.key && g_registers.cf_next <= 1) return &kCFo;
  return FindCommand(key);
}

const Command* FindKey(const std::string& text) {
  return text.size() == 1 ? FindKey(text[0]) : nullptr;
}

std::string LogLine(const std::string& token) {
  const Command* row = FindKey(token);
  return row ? Cp1252(row->log_name) : token;
}

}  // namespace quipular
