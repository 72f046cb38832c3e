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
    //   menu name, menu sound, help
    {'+', "+", "DOmas", "+", E::kWaits, true, false, RunArithmetic, nullptr,
     nullptr, nullptr, nullptr},
    {'-', "-", "DOmenos1", "-", E::kWaits, true, false, RunArithmetic, nullptr,
     nullptr, nullptr, nullptr},
    {'*', "*", "DOvezes", "*", E::kWaits, true, false, RunArithmetic, nullptr,
     nullptr, nullptr, nullptr},
    {'/', "/", "DOdivide", "/", E::kWaits, true, true, RunDivide,
     [](double, double x) { return x != 0; },
     nullptr, nullptr, nullptr},
    {'t', "", "DOCHS", "CHS", E::kOwn, true, false, RunChangeSign, nullptr,
     "CHS", nullptr, "DOayudaCHS"},
    {'e', "E", "DOEEX", "E", E::kOwn, false, false, nullptr, nullptr,
     "EEX", nullptr, "DOayudaEEX"},
    {'x', "1/x", "DOinverso", "1/x", E::kWaits, true, true, RunOneNumber,
     [](double, double x) { return x != 0; },
     "1/x", nullptr, "DOayudaInverso"},
    {'X', "Sqrt", "DOraiz", "Sqrt", E::kWaits, true, true, RunOneNumber,
     [](double, double x) { return x >= 0; },
     "SQRT", nullptr, "DOayudaRaiz"},
    {kCtrlX, "LN", "DOlogaritmo", "LN", E::kWaits, true, true, RunOneNumber,
     [](double, double x) { return x > 0; },
     "LN", nullptr, "DOayudaLN"},
    {'E', "e^x", "DOexponencial", "e^x", E::kWaits, true, true, RunOneNumber,
     [](double, double x) { return x <= 300; },
     "EXP", nullptr, "DOayudaExponencial"},
    {kCtrlE, "y^x", "DOelevado", "y^x", E::kWaits, true, true, RunPower,
     [](double y, double x) {
       return !(x > 50 || y > 100000 || (!Whole(x) && y < 0) || (x <= 0 && y == 0));
     },
     "POTENCIA", nullptr, "DOayudaPotencia"},
    {'f', "n!", "DOfactorial", "n!", E::kWaits, true, true, RunOneNumber,
     [](double, double x) { return x >= 0 && Whole(x) && x <= 200; },
     "n!", nullptr, "DOayudaFactorial"},
    {'g', "INTG", "DOparteint", "INTG", E::kWaits, true, false, RunWholeOrFraction, nullptr,
     "INTG", nullptr, "DOayudaINTG"},
    {'G', "FRAC", "DOpartefracc", "FRAC", E::kWaits, true, false, RunWholeOrFraction, nullptr,
     "FRAC", "DOPartefracc", "DOayudaFRAC"},
    {'%', "%", "DOporcentaje", "%", E::kWaits, true, true, RunPercent, nullptr,
     "%", nullptr, "Doayuda%"},
    {'y', "D%", "DOdifporcentaje", "D%", E::kWaits, true, true, RunPercent,
     [](double y, double) { return y != 0; },
     "D%", nullptr, "Doayudad%"},
    {'Y', "%T", "DOtotporcentaje", "%T", E::kWaits, true, true, RunPercent,
     [](double y, double) { return y != 0; },
     "%T", nullptr, "Doayuda%T"},
    {'z', "Z+ = ", "DOsumatoria", "Z+", E::kAtOnce, true, true, RunAccumulate, nullptr,
     "ACUMULACAO", nullptr, "DoayudaSuma"},
    {'Z', "Z-", "DOsumatoriaCorre", "Z-", E::kWaits, true, true, RunAccumulate, nullptr,
     "CORRECAO", nullptr, "DoayudaSumaCorre"},
    {kCtrlZ, "Z-", "DOsumatoriaCorre", "Z-", E::kWaits, true, true, RunAccumulate, nullptr,
     nullptr, nullptr, nullptr},
    {'q', "Media", "DOmedia", "Media", E::kWaits, true, true, RunStatistic, nullptr,
     "MEDIA", nullptr, "DoayudaMedia"},
    {'Q', "Xw", "DOmediapon", "Xw", E::kWaits, true, true, RunStatistic, nullptr,
     "MEDIA PONDERADA", nullptr, "DoayudaMediaPon"},
    {kCtrlQ, "S", "DOdesviopa", "S", E::kWaits, true, true, RunStatistic, nullptr,
     "DESVIO PADRAO", nullptr, "DoayudaDesvio"},
    {'w', "ELx", "DOEstimax", "ELx", E::kWaits, true, true, RunStatistic, nullptr,
     "ESTIMACAO LINEAR X", "DOestimax", "DoayudaEstimaX"},
    {'W', "ELy", "DOEstimay", "ELy", E::kWaits, true, true, RunStatistic, nullptr,
     "ESTIMACAO LINEAR Y", "DOestimay", "DoayudaEstimaY"},
    {kCtrlW, "r", "DOcorrelacion", "r", E::kWaits, true, true, RunStatistic, nullptr,
     "COEFICIENTE DE CORRELACAO", nullptr, "DoayudaCorrelacion"},
    {'n', "n", "DOn", "n", E::kStore, true, true, RunStoreFinancial, nullptr,
     "n", nullptr, "Doayudan"},
    {'N', "CALCULO n", "DOnCalculo", "CALCULO n", E::kWaits, true, true, RunTvm, nullptr,
     "Calculo n", nullptr, "DoayudaCN"},
    {kCtrlN, "n12X", "DOn12", "12x", E::kStore, true, true, RunStoreFinancial, nullptr,
     "12X", nullptr, "Doayuda12X"},
    {'i', "i", "DOi", "i", E::kStore, true, true, RunStoreFinancial, nullptr,
     "i", nullptr, "Doayudai"},
    {'I', "CALCULO i", "DOiCalculo", "CALCULO i", E::kWaits, true, true, RunTvm, nullptr,
     "Calculo i", nullptr, "DoayudaCI"},
    {kCtrlI, "i12/", "DOi12", "12/", E::kStore, true, true, RunStoreFinancial, nullptr,
     "12/", nullptr, "Doayuda12i"},
    {'p', "PV", "DOpv", "PV", E::kStore, true, true, RunStoreFinancial, nullptr,
     "PV", nullptr, "DoayudaPV"},
    {'P', "CALCULO PV", "DOpvCalculo", "CALCULO PV", E::kWaits, true, true, RunTvm, nullptr,
     "Calculo PV", nullptr, "DoayudaCPV"},
    {'m', "PMT", "DOpmt", "PMT", E::kStore, true, true, RunStoreFinancial, nullptr,
     "PMT", nullptr, "DoayudaPMT"},
    {'M', "CALCULO PMT", "DOpmtCalculo", "CALCULO PMT", E::kWaits, true, true, RunTvm, nullptr,
     "Calculo PMT", nullptr, "DoayudaCPMT"},
    {'v', "FV", "DOfv", "FV", E::kStore, true, true, RunStoreFinancial, nullptr,
     "FV", nullptr, "DoayudaFV"},
    {'V', "CALCULO FV", "DOfvCalculo", "CALCULO FV", E::kWaits, true, true, RunTvm, nullptr,
     "Calculo FV", nullptr, "DoayudaCFV"},
    {'k', "CFj", "DOCFj", "CFj", E::kStore, true, true, RunCashFlow, nullptr,
     "CFj", nullptr, "DoayudaCFo"},
    {'K', "NPV", "DONPV", "NPV", E::kWaits, true, true, RunNpv, nullptr,
     "NPV", nullptr, "DoayudaNPV"},
    {kCtrlK, "Nj", "DONj", "Nj", E::kStore, true, true, RunRepeatCashFlow, nullptr,
     "Nj", nullptr, "DoayudaNj"},
    {'l', "DB", "DODB", "DB", E::kWaits, true, true, RunDepreciation, nullptr,
     "DB", nullptr, "DoayudaDB"},
    {'L', "SL", "DOSL", "SL", E::kWaits, true, true, RunDepreciation, nullptr,
     "SL", nullptr, "DoayudaSL"},
    {kCtrlL, "SOYD", "DOSOYD", "SOYD", E::kWaits, true, true, RunDepreciation, nullptr,
     "SOYD", nullptr, "DoayudaSOYD"},
    {'j', "JUROS SIMPLES", "DOintsimple", "INT", E::kWaits, true, true, RunSimpleInterest,
     nullptr, "INT", nullptr, "DoayudaJS"},
    {'J', "AMORTIZAÇÃO", "DOAmort", "AMORT", E::kWaits, true, true, RunAmortization, nullptr,
     "AMORT", nullptr, "DoayudaAMORT"},
    {'a', "APAGA R.DADOS", "DOcleartodo", "CLEAR REG", E::kAtOnceLine, true, false, RunClear,
     nullptr, "A.REG", "DOCleartodo", "DOayudaAR"},
    {'A', "APAGA R.ESTATISTICOS", "DOclearesta", "CLEAR ESTATISTICOS", E::kAtOnceLine, true,
     false, RunClear, nullptr, "A.ESTA", "DOClearEsta", "DOayudaARE"},
    {kCtrlA, "APAGA R.FINANCEIROS", "DOclearfin", "CLEAR FINANCEIROS", E::kAtOnceLine, true,
     false, RunClear, nullptr, "A.FIN", "DOClearFin", "DOayudaARF"},
    {'r', "RCL+", "DOrecupera", "RCL", E::kAtOnce, true, false, RunRecall, nullptr,
     "RCL", nullptr, "DOayudaRCL"},
    {'R', "LSTX", "DOLSTX", "LSTx", E::kAtOnce, true, false, RunLastX, nullptr,
     "LSTx", nullptr, "DOayudaLSTx"},
    {'s', "STO+", "DOSTO", "STO", E::kAtOnce, false, false, RunStore, nullptr,
     "STO", nullptr, "DOayudaSTO"},
    {'d', "#DECIMAIS = ", "DOdecimais", "", E::kOwn, false, false, nullptr, nullptr,
     "#DECIMAIS", nullptr, "DOayudaDecimais"},
    {'D', "D.MY", "DODMY", "D.MY", E::kWaits, false, false, RunDateFormat, nullptr,
     "D.MY", nullptr, "DoayudaDMA"},
    {kCtrlD, "M.DY", "DOMDY", "M.DY", E::kWaits, false, false, RunDateFormat, nullptr,
     "M.DY", nullptr, "DoayudaMDA"},
    {'h', "DDYS", "DODDYS", "DDYS", E::kWaitsFree, false, false, RunDaysBetween, nullptr,
     "DDYS", nullptr, "DoayudaDDYS"},
    {'H', "DATE", "DODATE", "DATE", E::kWaitsFree, false, false, RunDateAfterDays, nullptr,
     "DATE", nullptr, "DoayudaDATE"},
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
