// The command table and its look-ups.
#include "calculator/commands.h"

#include <array>
#include <cmath>
#include <iterator>

#include "calculator/command_actions.h"
#include "calculator/model.h"
#include "console/key_codes.h"
#include "functions/registers.h"

namespace quipular {
namespace {

using E = EntryKind;

constexpr bool Whole(double v) {
  return v == std::trunc(v);
}

// clang-format off
constexpr Command kCommands[] = {
    // key, label, sound, log name, entry, logged, checked, run, domain,
    //   menu name, menu sound, help,
    //   key test (the blanks inside some of its FUNÇÃO texts are no-break spaces),
    //   quiet in the menu
    {'+', "+", "DOmas", "+", E::kWaits, true, false, RunArithmetic, nullptr,
     nullptr, nullptr, nullptr,
     {.function = "Soma", .kind = "Op. Basicas", .sound = "DOSumar"}},
    {'-', "-", "DOmenos1", "-", E::kWaits, true, false, RunArithmetic, nullptr,
     nullptr, nullptr, nullptr,
     {.function = "Subtração", .kind = "Op. Basicas", .sound = "DOrestar"}},
    {'*', "*", "DOvezes", "*", E::kWaits, true, false, RunArithmetic, nullptr,
     nullptr, nullptr, nullptr,
     {.function = "Multiplicação", .kind = "Op. Basicas", .sound = "DOmultiplicar"}},
    {'/', "/", "DOdivide", "/", E::kWaits, true, true, RunDivide,
     [](double, double x) { return x != 0; },
     nullptr, nullptr, nullptr,
     {.function = "Divisão", .kind = "Op. Basicas", .sound = "DOdividir"}},
    {'t', "", "DOCHS", "CHS", E::kOwn, true, false, RunChangeSign, nullptr,
     "CHS", nullptr, "DOayudaCHS",
     {"Troca o sinal", "Comando"}, true},
    {'e', "E", "DOEEX", "E", E::kOwn, false, false, nullptr, nullptr,
     "EEX", nullptr, "DOayudaEEX",
     {.function = "Expoente ", .kind = "Comando", .red = "E"}, true},
    {'x', "1/x", "DOinverso", "1/x", E::kWaits, true, true, RunOneNumber,
     [](double, double x) { return x != 0; },
     "1/x", nullptr, "DOayudaInverso",
     {"Inverso 1/x", "Fun. Gerais"}},
    {'X', "Sqrt", "DOraiz", "Sqrt", E::kWaits, true, true, RunOneNumber,
     [](double, double x) { return x >= 0; },
     "SQRT", nullptr, "DOayudaRaiz",
     {.function = "Raiz Quadrada SQRT", .kind = "Fun. Gerais", .shift = "DOSHIFT"}},
    {kCtrlX, "LN", "DOlogaritmo", "LN", E::kWaits, true, true, RunOneNumber,
     [](double, double x) { return x > 0; },
     "LN", nullptr, "DOayudaLN",
     {"Logaritmo Natural LN", "Fun. Gerais"}},
    {'E', "e^x", "DOexponencial", "e^x", E::kWaits, true, true, RunOneNumber,
     [](double, double x) { return x <= 300; },
     "EXP", nullptr, "DOayudaExponencial",
     {.function = "Exponencial e^x", .kind = "Fun. Gerais", .shift = "DOSHIFT"}},
    {kCtrlE, "y^x", "DOelevado", "y^x", E::kWaits, true, true, RunPower,
     [](double y, double x) {
       return !(x > 50 || y > 100000 || (!Whole(x) && y < 0) || (x <= 0 && y == 0));
     },
     "POTENCIA", nullptr, "DOayudaPotencia",
     {"Potencia y^x", "Fun. Gerais"}},
    {'f', "n!", "DOfactorial", "n!", E::kWaits, true, true, RunOneNumber,
     [](double, double x) { return x >= 0 && Whole(x) && x <= 200; },
     "n!", nullptr, "DOayudaFactorial",
     {"Fatorial n!", "Fun. Gerais"}},
    {'g', "INTG", "DOparteint", "INTG", E::kWaits, true, false, RunWholeOrFraction, nullptr,
     "INTG", nullptr, "DOayudaINTG",
     {"Parte inteira INTG", "Fun. Gerais"}},
    {'G', "FRAC", "DOpartefracc", "FRAC", E::kWaits, true, false, RunWholeOrFraction, nullptr,
     "FRAC", "DOPartefracc", "DOayudaFRAC",
     {.function = "Parte Fraccionaria FRAC", .kind = "Fun. Gerais", .shift = "DOSHIFT"}},
    {'%', "%", "DOporcentaje", "%", E::kWaits, true, true, RunPercent, nullptr,
     "%", nullptr, "Doayuda%",
     {"Porcentagem", "Fun. Porcentagem"}},
    {'y', "D%", "DOdifporcentaje", "D%", E::kWaits, true, true, RunPercent,
     [](double y, double) { return y != 0; },
     "D%", nullptr, "Doayudad%",
     {"Diferença Porcentual D%", "Fun. Porcentagem"}},
    {'Y', "%T", "DOtotporcentaje", "%T", E::kWaits, true, true, RunPercent,
     [](double y, double) { return y != 0; },
     "%T", nullptr, "Doayuda%T",
     {.function = "Porcentagem do Total %T", .kind = "Fun. Porcentagem", .shift = "DOSHIFT"}},
    {'z', "Z+ = ", "DOsumatoria", "Z+", E::kAtOnce, true, true, RunAccumulate, nullptr,
     "ACUMULACAO", nullptr, "DoayudaSuma",
     {"Acumulação Estatísticas Z+", "Fun. Estatisticas"}},
    {'Z', "Z-", "DOsumatoriaCorre", "Z-", E::kWaits, true, true, RunAccumulate, nullptr,
     "CORRECAO", nullptr, "DoayudaSumaCorre",
     {.function = "Correção Estatísticas Z-", .kind = "Fun. Estatisticas", .shift = "DOSHIFT"}},
    {kCtrlZ, "Z-", "DOsumatoriaCorre", "Z-", E::kWaits, true, true, RunAccumulate, nullptr,
     nullptr, nullptr, nullptr,
     {"Correção Estatísticas Z-", "Fun. Estatisticas"}},
    {'q', "Media", "DOmedia", "Media", E::kWaits, true, true, RunStatistic, nullptr,
     "MEDIA", nullptr, "DoayudaMedia",
     {"Media Aritmetica ", "Fun. Estatisticas"}},
    {'Q', "Xw", "DOmediapon", "Xw", E::kWaits, true, true, RunStatistic, nullptr,
     "MEDIA PONDERADA", nullptr, "DoayudaMediaPon",
     {.function = "Media Ponderada Xw", .kind = "Fun. Estatisticas", .shift = "DOSHIFT"}},
    {kCtrlQ, "S", "DOdesviopa", "S", E::kWaits, true, true, RunStatistic, nullptr,
     "DESVIO PADRAO", nullptr, "DoayudaDesvio",
     {"Desvio\u00a0Padrão\u00a0S", "Fun. Estatisticas"}},
    {'w', "ELx", "DOEstimax", "ELx", E::kWaits, true, true, RunStatistic, nullptr,
     "ESTIMACAO LINEAR X", "DOestimax", "DoayudaEstimaX",
     {"Estimação\u00a0linear\u00a0de\u00a0X", "Fun. Estatisticas"}},
    {'W', "ELy", "DOEstimay", "ELy", E::kWaits, true, true, RunStatistic, nullptr,
     "ESTIMACAO LINEAR Y", "DOestimay", "DoayudaEstimaY",
     {.function = "Estimação\u00a0linear\u00a0de\u00a0Y", .kind = "Fun. Estatisticas",
      .shift = "DOSHIFT"}},
    {kCtrlW, "r", "DOcorrelacion", "r", E::kWaits, true, true, RunStatistic, nullptr,
     "COEFICIENTE DE CORRELACAO", nullptr, "DoayudaCorrelacion",
     {"Coeficiente\u00a0de\u00a0correlação", "Fun. Estatisticas"}},
    {'n', "n", "DOn", "n", E::kStore, true, true, RunStoreFinancial, nullptr,
     "n", nullptr, "Doayudan",
     {.function = "Numero de períodos", .kind = "Reg. Financeiros", .stores = true}, true},
    {'N', "CALCULO n", "DOnCalculo", "CALCULO n", E::kWaits, true, true, RunTvm, nullptr,
     "Calculo n", nullptr, "DoayudaCN",
     {"Cálculo Numero de períodos", "Fun. Financeiras"}},
    {kCtrlN, "n12X", "DOn12", "12x", E::kStore, true, true, RunStoreFinancial, nullptr,
     "12X", nullptr, "Doayuda12X",
     {.function = "Numero de períodos 12 vezes", .kind = "Reg. Financeiros", .stores = true}, true},
    {'i', "i", "DOi", "i", E::kStore, true, true, RunStoreFinancial, nullptr,
     "i", nullptr, "Doayudai",
     {.function = "Taxa de Juros", .kind = "Reg. Financeiros", .stores = true}, true},
    {'I', "CALCULO i", "DOiCalculo", "CALCULO i", E::kWaits, true, true, RunTvm, nullptr,
     "Calculo i", nullptr, "DoayudaCI",
     {"Calculo Taxa de Juros", "Fun. Financeiras"}},
    {kCtrlI, "i12/", "DOi12", "12/", E::kStore, true, true, RunStoreFinancial, nullptr,
     "12/", nullptr, "Doayuda12i",
     {.function = "Taxa de Juros dividido 12", .kind = "Reg. Financeiros", .stores = true}, true},
    {'p', "PV", "DOpv", "PV", E::kStore, true, true, RunStoreFinancial, nullptr,
     "PV", nullptr, "DoayudaPV",
     {.function = "Valor Presente", .kind = "Reg. Financeiros", .stores = true}, true},
    {'P', "CALCULO PV", "DOpvCalculo", "CALCULO PV", E::kWaits, true, true, RunTvm, nullptr,
     "Calculo PV", nullptr, "DoayudaCPV",
     {"Calculo Valor Presente", "Fun. Financeiras"}, true},
    {'m', "PMT", "DOpmt", "PMT", E::kStore, true, true, RunStoreFinancial, nullptr,
     "PMT", nullptr, "DoayudaPMT",
     {.function = "Pagamento Periodico", .kind = "Reg. Financeiros", .stores = true}, true},
    {'M', "CALCULO PMT", "DOpmtCalculo", "CALCULO PMT", E::kWaits, true, true, RunTvm, nullptr,
     "Calculo PMT", nullptr, "DoayudaCPMT",
     {"Calculo Pagamento Periodico", "Fun. Financeiras"}},
    {'v', "FV", "DOfv", "FV", E::kStore, true, true, RunStoreFinancial, nullptr,
     "FV", nullptr, "DoayudaFV",
     {.function = "Valor Futuro", .kind = "Reg. Financeiros", .stores = true}, true},
    {'V', "CALCULO FV", "DOfvCalculo", "CALCULO FV", E::kWaits, true, true, RunTvm, nullptr,
     "Calculo FV", nullptr, "DoayudaCFV",
     {"Calculo Valor Futuro", "Fun. Financeiras"}},
    {'k', "CFj", "DOCFj", "CFj", E::kStore, true, true, RunCashFlow, nullptr,
     "CFj", nullptr, "DoayudaCFo",
     {.function = "Fluxo de Caixa Cfo/Cfj", .kind = "Reg. Financeiros", .stores = true}, true},
    {'K', "NPV", "DONPV", "NPV", E::kWaits, true, true, RunNpv, nullptr,
     "NPV", nullptr, "DoayudaNPV",
     {"Valor Presente Liquido", "Fun. Financeiras"}},
    {kCtrlK, "Nj", "DONj", "Nj", E::kStore, true, true, RunRepeatCashFlow, nullptr,
     "Nj", nullptr, "DoayudaNj",
     {"Fluxo de Caixa Repetido Nj", "Reg. Financeiros"}, true},
    {'l', "DB", "DODB", "DB", E::kWaits, true, true, RunDepreciation, nullptr,
     "DB", nullptr, "DoayudaDB",
     {"Dep. Saldos Decrescentes DB", "Fun. Financeiras"}},
    {'L', "SL", "DOSL", "SL", E::kWaits, true, true, RunDepreciation, nullptr,
     "SL", nullptr, "DoayudaSL",
     {"Dep. linear SL", "Fun. Financeiras"}},
    {kCtrlL, "SOYD", "DOSOYD", "SOYD", E::kWaits, true, true, RunDepreciation, nullptr,
     "SOYD", nullptr, "DoayudaSOYD",
     {"Dep. Soma Digitos Anos SOYD", "Fun. Financeiras"}},
    {'j', "JUROS SIMPLES", "DOintsimple", "INT", E::kWaits, true, true, RunSimpleInterest,
     nullptr, "INT", nullptr, "DoayudaJS",
     {"Juros Simples", "Fun. Financeiras"}},
    {'J', "AMORTIZAÇÃO", "DOAmort", "AMORT", E::kWaits, true, true, RunAmortization, nullptr,
     "AMORT", nullptr, "DoayudaAMORT",
     {"Amortização", "Fun. Financeiras"}},
    {'a', "APAGA R.DADOS", "DOcleartodo", "CLEAR REG", E::kAtOnceLine, true, false, RunClear,
     nullptr, "A.REG", "DOCleartodo", "DOayudaAR",
     {"Apaga Registro Dados Geral", "Comando"}, true},
    {'A', "APAGA R.ESTATISTICOS", "DOclearesta", "CLEAR ESTATISTICOS", E::kAtOnceLine, true,
     false, RunClear, nullptr, "A.ESTA", "DOClearEsta", "DOayudaARE",
     {"Apaga Registros Estatisticos", "Comando"}, true},
    {kCtrlA, "APAGA R.FINANCEIROS", "DOclearfin", "CLEAR FINANCEIROS", E::kAtOnceLine, true,
     false, RunClear, nullptr, "A.FIN", "DOClearFin", "DOayudaARF",
     {"Apaga Registros Financeiros", "Comando"}, true},
    {'r', "RCL+", "DOrecupera", "RCL", E::kAtOnce, true, false, RunRecall, nullptr,
     "RCL", nullptr, "DOayudaRCL",
     {"Recuperação de Dados RCL+", "Comando"}, true},
    {'R', "LSTX", "DOLSTX", "LSTx", E::kAtOnce, true, false, RunLastX, nullptr,
     "LSTx", nullptr, "DOayudaLSTx",
     {"Recupera o último número LSTX", "Comando"}, true},
    {'s', "STO+", "DOSTO", "STO", E::kAtOnce, false, false, RunStore, nullptr,
     "STO", nullptr, "DOayudaSTO",
     {"Armazenamento de Dados STO+", "Comando"}, true},
    {'d', "#DECIMAIS = ", "DOdecimais", "", E::kOwn, false, false, nullptr, nullptr,
     "#DECIMAIS", nullptr, "DOayudaDecimais",
     {"Configurações decimais", "Comando"}, true},
    {'D', "D.MY", "DODMY", "D.MY", E::kWaits, false, false, RunDateFormat, nullptr,
     "D.MY", nullptr, "DoayudaDMA",
     {"Formato de Data D.MY", "Fun. Data"}},
    {kCtrlD, "M.DY", "DOMDY", "M.DY", E::kWaits, false, false, RunDateFormat, nullptr,
     "M.DY", nullptr, "DoayudaMDA",
     {"Formato de Data M.DY", "Fun. Data"}},
    {'h', "DDYS", "DODDYS", "DDYS", E::kWaitsFree, false, false, RunDaysBetween, nullptr,
     "DDYS", nullptr, "DoayudaDDYS",
     {"Número de días entre Datas", "Fun. Data"}},
    {'H', "DATE", "DODATE", "DATE", E::kWaitsFree, false, false, RunDateAfterDays, nullptr,
     "DATE", nullptr, "DoayudaDATE",
     {"Datas Futuras/Passadas", "Fun.Data"}, true},
};
// clang-format on

// Row number + 1 of each key code, 0 for none: every key typed is looked up.
constexpr auto kIndex = [] {
  std::array<unsigned char, 256> index{};
  for (size_t i = 0; i < std::size(kCommands); ++i)
    index[static_cast<unsigned char>(kCommands[i].key)] = static_cast<unsigned char>(i + 1);
  return index;
}();

constexpr Command kCFo = {'k',  "CFo",       "DOCFo", "CFo",   E::kStore, true,
                          true, RunCashFlow, nullptr, nullptr, nullptr,   nullptr};

}  // namespace

std::span<const Command> Commands() {
  return kCommands;
}

const Command* FindCommand(char key) {
  unsigned char row = kIndex[static_cast<unsigned char>(key)];
  return row ? &kCommands[row - 1] : nullptr;
}

const Command* FindKey(char key) {
  if (key == 'k' && g_registers.cf_next <= 1) return &kCFo;
  return FindCommand(key);
}

const Command* FindKey(const std::string& text) {
  return text.size() == 1 ? FindKey(text[0]) : nullptr;
}

}  // namespace quipular
