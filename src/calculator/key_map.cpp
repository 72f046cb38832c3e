// The key map table and the operations that walk it.
#include "calculator/key_map.h"

#include "calculator/operand_entry.h"
#include "calculator/spoken_results.h"
#include "console/key_codes.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "functions/number_text.h"
#include "functions/registers.h"
#include "voice/named_sounds.h"

namespace quipular {

CommandNames g_command_names;

namespace {

constexpr KeyMapRow kKeyMap[] = {
    {'+', "+", "DOmas", "+"},
    {'-', "-", "DOmenos1", "-"},
    {'*', "*", "DOvezes", "*"},
    {'/', "/", "DOdivide", "/"},
    {'t', "", "DOCHS", "CHS"},
    {'e', "E", "DOEEX", "E"},
    {'x', "1/x", "DOinverso", "1/x"},
    {'X', "Sqrt", "DOraiz", "Sqrt"},
    {kCtrlX, "LN", "DOlogaritmo", "LN"},
    {'E', "e^x", "DOexponencial", "e^x"},
    {kCtrlE, "y^x", "DOelevado", "y^x"},
    {'f', "n!", "DOfactorial", "n!"},
    {'g', "INTG", "DOparteint", "INTG"},
    {'G', "FRAC", "DOpartefracc", "FRAC"},
    {'%', "%", "DOporcentaje", "%"},
    {'y', "D%", "DOdifporcentaje", "D%"},
    {'Y', "%T", "DOtotporcentaje", "%T"},
    {'z', "Z+ = ", "DOsumatoria", "Z+"},
    {'Z', "Z-", "DOsumatoriaCorre", "Z-"},
    {kCtrlZ, "Z-", "DOsumatoriaCorre", "Z-"},
    {'q', "Media", "DOmedia", "Media"},
    {'Q', "Xw", "DOmediapon", "Xw"},
    {kCtrlQ, "S", "DOdesviopa", "S"},
    {'w', "ELx", "DOEstimax", "ELx"},
    {'W', "ELy", "DOEstimay", "ELy"},
    {kCtrlW, "r", "DOcorrelacion", "r"},
    {'n', "n", "DOn", "n"},
    {'N', "CALCULO n", "DOnCalculo", "CALCULO n"},
    {kCtrlN, "n12X", "DOn12", "12x"},
    {'i', "i", "DOi", "i"},
    {'I', "CALCULO i", "DOiCalculo", "CALCULO i"},
    {kCtrlI, "i12/", "DOi12", "12/"},
    {'p', "PV", "DOpv", "PV"},
    {'P', "CALCULO PV", "DOpvCalculo", "CALCULO PV"},
    {'m', "PMT", "DOpmt", "PMT"},
    {'M', "CALCULO PMT", "DOpmtCalculo", "CALCULO PMT"},
    {'v', "FV", "DOfv", "FV"},
    {'V', "CALCULO FV", "DOfvCalculo", "CALCULO FV"},
    {'K', "NPV", "DONPV", "NPV"},
    {kCtrlK, "Nj", "DONj", "Nj"},
    {'l', "DB", "DODB", "DB"},
    {'L', "SL", "DOSL", "SL"},
    {kCtrlL, "SOYD", "DOSOYD", "SOYD"},
    {'j', "JUROS SIMPLES", "DOintsimple", "INT"},
    {'J', "AMORTIZAÇÃO", "DOAmort", "AMORT"},
    {'a', "APAGA R.DADOS", "DOcleartodo", "CLEAR REG"},
    {'A', "APAGA R.ESTATISTICOS", "DOclearesta", "CLEAR ESTATISTICOS"},
    {kCtrlA, "APAGA R.FINANCEIROS", "DOclearfin", "CLEAR FINANCEIROS"},
    {'r', "RCL+", "DOrecupera", "RCL"},
    {'R', "LSTX", "DOLSTX", "LSTx"},
    {'s', "STO+", "DOSTO", "STO"},
    {'d', "#DECIMAIS = ", "DOdecimais", ""},
    {'D', "D.MY", "DODMY", "D.MY"},
    {kCtrlD, "M.DY", "DOMDY", "M.DY"},
    {'h', "DDYS", "DODDYS", "DDYS"},
    {'H', "DATE", "DODATE", "DATE"},
};

constexpr KeyMapRow kCFo = {'k', "CFo", "DOCFo", "CFo"};
constexpr KeyMapRow kCFj = {'k', "CFj", "DOCFj", "CFj"};

}  // namespace

const KeyMapRow* FindKey(char key) {
  if (key == 'k') return g_registers.cf_next <= 1 ? &kCFo : &kCFj;
  for (const KeyMapRow& row : kKeyMap)
    if (row.key == key) return &row;
  return nullptr;
}

const KeyMapRow* FindKey(const std::string& text) {
  return text.size() == 1 ? FindKey(text[0]) : nullptr;
}

void AnnounceCommand(const std::string& text) {
  const KeyMapRow* row = FindKey(text);
  if (!row) return;
  if (row->key == 'e') {
    // The exponent letter stands out in red.
    SetTextColour(4);
    ConsoleWrite(row->label);
    SetTextColour(15);
  } else {
    ConsoleWrite(Cp1252(row->label));
  }
  // EEX has no sound of its own here: exponent entry plays it.
  if (row->key != 'e') PlaySoundKey(row->sound);
}

void RepeatEntry(const std::string& text) {
  if (g_entry.number_typed) SpeakNumber(NumberValue(text));
  if (const KeyMapRow* row = FindKey(text)) PlaySoundKey(row->sound);
  if (text.empty()) PlaySoundKey("DOnada");
}

void InitCommandNames() {
  static const char* const functions[57] = {"POTENCIA",
                                            "SQRT",
                                            "1/x",
                                            "EXP",
                                            "LN",
                                            "n!",
                                            "FRAC",
                                            "INTG",
                                            "",
                                            "",
                                            "ACUMULACAO",
                                            "CORRECAO",
                                            "MEDIA",
                                            "DESVIO PADRAO",
                                            "MEDIA PONDERADA",
                                            "ESTIMACAO LINEAR X",
                                            "ESTIMACAO LINEAR Y",
                                            "COEFICIENTE DE CORRELACAO",
                                            "",
                                            "",
                                            "",
                                            "n",
                                            "i",
                                            "PV",
                                            "PMT",
                                            "FV",
                                            "12X",
                                            "12/",
                                            "CFj",
                                            "Nj",
                                            "BEG",
                                            "END",
                                            "S/N PERIODO FRACC.",
                                            "",
                                            "",
                                            "",
                                            "Calculo n",
                                            "Calculo i",
                                            "Calculo PV",
                                            "Calculo PMT",
                                            "Calculo FV",
                                            "AMORT",
                                            "INT",
                                            "NPV",
                                            "DB",
                                            "SL",
                                            "SOYD",
                                            "",
                                            "",
                                            "",
                                            "%",
                                            "%T",
                                            "D%",
                                            "D.MY",
                                            "M.DY",
                                            "DATE",
                                            "DDYS"};
  static const char* const keys[15] = {
      "CHS",       "EEX", "STO",   "RCL",    "X<>Y",  "RP",   "REG. PILHA",    "PRIMER REG. PILHA ",
      "#DECIMAIS", "BS",  "A.REG", "A.ESTA", "A.FIN", "LSTx", "TESTAR TECLADO"};
  for (int i = 0; i < 57; ++i) g_command_names.functions[i] = functions[i];
  for (int i = 0; i < 15; ++i) g_command_names.keys[i] = keys[i];
}

}  // namespace quipular
