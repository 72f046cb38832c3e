// The illustrated lessons as scripts of coloured lines, and the one walker
// that shows a lesson, plays its narration and asks whether to repeat it.
#include "guidance/lessons.h"

#include <span>
#include <string>

#include "calculator/working_screen.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "guidance/examples.h"
#include "guidance/screens.h"
#include "voice/named_sounds.h"

namespace quipular {
namespace {

enum class Role {
  kExplain,    // white on blue: explanation
  kTyped,      // white on black: results, problems, tables; "" ends a line
  kPrompt,     // "Operando: " on red, then the text typed; "|" switches to red and back
  kHeading,    // a numbered heading on red, with a line end
  kHeadingAt,  // a table heading on red at column, row (column 0: the cursor); no line end
  kPage,       // the end of the first page of a two-page lesson
};

struct LessonLine {
  Role role;
  const char* text = "";
  int column = 0, row = 0;
};

enum class Screen {
  kHeader,    // under the guidance screen's header
  kFull,      // the whole console
  kTwoPages,  // the whole console, twice
};

struct Lesson {
  char kind;  // the menu column: "U" illustrated, "o" financial and statistical
  int row;    // the menu entry
  const char* title;
  Screen screen;
  const char* title_sound;
  const char* narrations[2];  // one per page
  std::span<const LessonLine> lines;
};

using R = Role;

constexpr LessonLine kOperation[] = {
    {R::kExplain, "A Quipular trabalha em RPN, a Notação Polonesa Reversa: primeiro entram os"},
    {R::kExplain, "números, depois a operação. Não há tecla de igual nem parênteses."},
    {R::kExplain, "Cada número é digitado e fechado com ENTER, que o guarda na pilha. Depois,"},
    {R::kExplain, "a tecla da operação, também seguida de ENTER, usa os números guardados e"},
    {R::kExplain, "mostra o resultado."},
    {R::kTyped},
    {R::kExplain, "Exemplo: calcular 20 menos 30."},
    {R::kPrompt, "20 "},
    {R::kPrompt, "30 "},
    {R::kPrompt, "- "},
    {R::kTyped, " = -10 "},
    {R::kExplain, "O primeiro número entrado (20) fica em Y, e o segundo (30) em X: a operação"},
    {R::kExplain, "calcula Y - X. O resultado, -10, fica no registro X da pilha."},
};

constexpr LessonLine kStack[] = {
    {R::kExplain, "A pilha da Quipular tem quatro registros: X, Y, Z e T. O X é o primeiro"},
    {R::kExplain, "registro da pilha: nele fica o último número entrado e o resultado de cada"},
    {R::kExplain, "operação."},
    {R::kExplain, "Cada ENTER guarda o número em X e faz a pilha subir: o que estava em X vai"},
    {R::kExplain, "para Y, o de Y vai para Z e o de Z vai para T. O valor que estava em T se"},
    {R::kExplain, "perde."},
    {R::kTyped},
    {R::kPrompt, "1 "},
    {R::kExplain, "O 1 fica no registro X. A pilha: X = 1."},
    {R::kPrompt, "2 "},
    {R::kExplain, "O 1 sobe para Y, e o 2 fica em X. A pilha: Y = 1, X = 2."},
    {R::kPage},
    {R::kExplain, "Continuando o exemplo:"},
    {R::kPrompt, "3 "},
    {R::kExplain, "O 2 sobe para Y, o 1 sobe para Z, e o 3 fica em X."},
    {R::kExplain, "A pilha: Z = 1, Y = 2, X = 3."},
    {R::kPrompt, "4 "},
    {R::kExplain, "O 3 sobe para Y, o 2 para Z, o 1 para T, e o 4 fica em X."},
    {R::kExplain, "A pilha está cheia: T = 1, Z = 2, Y = 3, X = 4."},
    {R::kExplain, "Se mais um número entrar, o 1 que está em T se perde."},
    {R::kTyped},
    {R::kExplain, "Uma operação de dois números usa Y e X, e a pilha desce: o valor de Z vai"},
    {R::kExplain, "para Y, e o de T vai para Z."},
};

constexpr LessonLine kRegisters[] = {
    {R::kExplain, "Além da pilha, a Quipular guarda valores em três grupos de registros."},
    {R::kTyped},
    {R::kHeading, "1. Registros de Armazenamento de Dados Geral:"},
    {R::kExplain, "Guardam os valores que você quiser: STO (tecla S) seguida do nome do"},
    {R::kExplain, "registro guarda nele o valor de X; RCL (tecla R) seguida do nome o traz de"},
    {R::kExplain, "volta para X."},
    {R::kTyped},
    {R::kHeading, "2. Registros Estatísticos:"},
    {R::kExplain, "Guardam as somas dos dados das estatísticas, acumulados com a tecla Z (Z+)."},
    {R::kExplain, "Deles saem a média, o desvio padrão e as estimativas lineares."},
    {R::kTyped},
    {R::kHeading, "3. Registros Financeiros: "},
    {R::kExplain, "Guardam n, i, PV, PMT e FV, os dados dos cálculos de juros compostos."},
    {R::kTyped},
    {R::kExplain, "Para apagar os registros:"},
    {R::kTyped, "  A            apaga todos os registros e a pilha."},
    {R::kTyped, "  SHIFT + A    apaga os registros estatísticos."},
    {R::kTyped, "  CTRL + A     apaga os registros financeiros."},
};

constexpr LessonLine kEnteringNumbers[] = {
    {R::kExplain, "Para entrar um número, digite os seus dígitos um a um, da esquerda para a"},
    {R::kExplain, "direita; o ponto separa a parte decimal. Cada tecla é falada ao ser apertada."},
    {R::kExplain, "A tecla ENTER fecha o número e o guarda no registro X da pilha."},
    {R::kExplain, "Se errar, BACK SPACE apaga todo o número digitado, para começar de novo."},
    {R::kTyped},
    {R::kExplain, "Exemplo: entrar 24.5 (as teclas 2, 4, ponto, 5 e ENTER)."},
    {R::kPrompt, "24.5"},
    {R::kExplain, "A Quipular mostra a pilha e diz o número: vinte e quatro ponto cinco."},
};

constexpr LessonLine kLargeNumbers[] = {
    {R::kExplain, "Números muito grandes ou muito pequenos são digitados com a tecla E (EEX):"},
    {R::kExplain, "primeiro a mantissa, depois E, depois o expoente de 10 e, por fim, ENTER."},
    {R::kExplain, "O expoente tem até dois dígitos; o sinal - vem logo depois do E."},
    {R::kTyped},
    {R::kExplain, "Exemplo: entrar 345 vezes 10 elevado a 20."},
    {R::kExplain, "Digite a mantissa, 345:"},
    {R::kPrompt, "345"},
    {R::kExplain, "Aperte E para o expoente:"},
    {R::kPrompt, "345|E|"},
    {R::kExplain, "Digite o expoente, 20, e aperte ENTER:"},
    {R::kPrompt, "345|E|20"},
    {R::kExplain, "A Quipular guarda o número com um só dígito antes do ponto:"},
    {R::kPrompt, "3.45|E|22"},
    {R::kExplain, "3.45 vezes 10 elevado a 22 é o mesmo que 345 vezes 10 elevado a 20."},
};

constexpr LessonLine kDecimals[] = {
    {R::kExplain, "A Quipular mostra e fala os valores com 0 a 9 casas decimais. Ao começar,"},
    {R::kExplain, "são 2 casas. Para mudar, aperte a tecla D e depois um dígito de 0 a 9."},
    {R::kExplain, "A escolha vale para a tela e para a fala, até ser mudada de novo; o valor"},
    {R::kExplain, "guardado na pilha não muda, só a forma de mostrá-lo."},
    {R::kTyped},
    {R::kExplain, "Exemplo: mostrar os valores com 4 casas decimais."},
    {R::kExplain, "Aperte D:"},
    {R::kPrompt, "#Decimais="},
    {R::kExplain, "Digite 4:"},
    {R::kPrompt, "#Decimais=4"},
    {R::kExplain, "Agora 2.5 aparece como 2.5000, e 1/3 como 0.3333."},
};

constexpr LessonLine kAddition[] = {
    {R::kExplain, "Para somar dois valores, entre os dois números, cada um seguido de ENTER, e"},
    {R::kExplain, "depois aperte + e ENTER. A soma aparece no registro X da pilha."},
    {R::kTyped},
    {R::kExplain, "Exemplo: somar 20 e 30."},
    {R::kPrompt, "20"},
    {R::kPrompt, "30"},
    {R::kPrompt, "+"},
    {R::kTyped, " = 50"},
    {R::kExplain, "As teclas -, * e / fazem do mesmo modo a subtração, a multiplicação e a"},
    {R::kExplain, "divisão."},
};

constexpr LessonLine kSquareRoot[] = {
    {R::kExplain, "A raiz quadrada é calculada sobre o número do registro X. Entre o número e"},
    {R::kExplain, "aperte SHIFT + X (Sqrt) e ENTER."},
    {R::kExplain, "Um número negativo não tem raiz quadrada: a Quipular mostra o ERRO 0."},
    {R::kTyped},
    {R::kExplain, "Exemplo: a raiz quadrada de 64."},
    {R::kPrompt, "64"},
    {R::kPrompt, "Sqrt"},
    {R::kTyped, " = 8"},
};

constexpr LessonLine kLogarithm[] = {
    {R::kExplain, "O logaritmo natural (na base e) é calculado sobre o número do registro X."},
    {R::kExplain, "Entre o número e aperte CTRL + X (LN) e ENTER. O número precisa ser maior"},
    {R::kExplain, "que zero; senão, a Quipular mostra o ERRO 0."},
    {R::kTyped},
    {R::kExplain, "Exemplo: o logaritmo natural de 76.8, com uma casa decimal."},
    {R::kPrompt, "76.8"},
    {R::kPrompt, "LN"},
    {R::kTyped, " = 4.3"},
};

constexpr LessonLine kExponential[] = {
    {R::kExplain, "O exponencial (e elevado a x) é calculado sobre o número do registro X."},
    {R::kExplain, "Entre o número e aperte SHIFT + E (e^x) e ENTER."},
    {R::kTyped},
    {R::kExplain, "Exemplo: e elevado a 12, com uma casa decimal."},
    {R::kPrompt, "12"},
    {R::kPrompt, "e^x"},
    {R::kTyped, " = 162754.8"},
};

constexpr LessonLine kPower[] = {
    {R::kExplain, "A potência eleva o número do registro Y (a base) ao número do registro X"},
    {R::kExplain, "(o expoente). Entre a base e depois o expoente, cada um seguido de ENTER,"},
    {R::kExplain, "e aperte CTRL + E (y^x) e ENTER."},
    {R::kTyped},
    {R::kExplain, "Exemplo: 2 elevado a 5."},
    {R::kPrompt, "2"},
    {R::kPrompt, "5"},
    {R::kPrompt, "y^x"},
    {R::kTyped, " = 32"},
};

constexpr LessonLine kInverse[] = {
    {R::kExplain, "O inverso (1/x) divide 1 pelo número do registro X. Entre o número e"},
    {R::kExplain, "aperte X (1/x) e ENTER. O 0 não tem inverso: a Quipular mostra o ERRO 0."},
    {R::kTyped},
    {R::kExplain, "Exemplo: o inverso de 0.5."},
    {R::kPrompt, "0.5"},
    {R::kPrompt, "1/x"},
    {R::kTyped, " = 2"},
};

constexpr LessonLine kFactorial[] = {
    {R::kExplain, "O fatorial (n!) multiplica todos os números inteiros de 1 até o número do"},
    {R::kExplain, "registro X. Entre um número inteiro de 0 a 200 e aperte F (n!) e ENTER."},
    {R::kTyped},
    {R::kExplain, "Exemplo: o fatorial de 5, que é 5 x 4 x 3 x 2 x 1."},
    {R::kPrompt, "5"},
    {R::kPrompt, "n!"},
    {R::kTyped, " = 120"},
};

constexpr LessonLine kIntegerPart[] = {
    {R::kExplain, "A parte inteira (INTG) tira a parte decimal do número do registro X, sem"},
    {R::kExplain, "arredondar. Entre o número e aperte G (INTG) e ENTER."},
    {R::kTyped},
    {R::kExplain, "Exemplo: a parte inteira de 756.67."},
    {R::kPrompt, "756.67"},
    {R::kPrompt, "INTG"},
    {R::kTyped, " = 756"},
};

constexpr LessonLine kFractionalPart[] = {
    {R::kExplain, "A parte fracionária (FRAC) tira a parte inteira do número do registro X e"},
    {R::kExplain, "deixa só a parte decimal. Entre o número e aperte SHIFT + G (FRAC) e ENTER."},
    {R::kTyped},
    {R::kExplain, "Exemplo: a parte fracionária de 756.76."},
    {R::kPrompt, "756.76"},
    {R::kPrompt, "FRAC"},
    {R::kTyped, " = 0.76"},
};

constexpr LessonLine kArrows[] = {
    {R::kExplain, "As quatro setas do teclado trabalham com a pilha, no lugar de um número."},
    {R::kTyped},
    {R::kHeading, "1. Seta para cima: "},
    {R::kExplain, "Troca X por Y: o valor de X passa para Y, e o de Y passa para X."},
    {R::kTyped},
    {R::kHeading, "2. Seta para baixo: "},
    {R::kExplain, "Rolagem da pilha: os valores descem um registro (Y vai para X, Z para Y e"},
    {R::kExplain, "T para Z), e o valor de X vai para o alto da pilha."},
    {R::kTyped},
    {R::kHeading, "3. Seta para a direita: "},
    {R::kExplain, "Diz o valor do registro X, o primeiro registro da pilha, sem mudar nada."},
    {R::kTyped},
    {R::kHeading, "4. Seta para a esquerda: "},
    {R::kExplain, "Diz os valores de todos os registros da pilha: X, Y, Z e T."},
    {R::kTyped},
    {R::kExplain, "Com a pilha vazia, as setas não fazem nada, e a Quipular diz: nada."},
    {R::kExplain, "Enquanto um número está sendo digitado, feche-o com ENTER antes de usar"},
    {R::kExplain, "as setas."},
};

constexpr LessonLine kStorage[] = {
    {R::kExplain, "A Quipular tem vinte registros gerais para guardar valores: de 0 a 9 e de"},
    {R::kExplain, ".0 a .9. O nome do registro é o dígito, ou o ponto e o dígito."},
    {R::kExplain, "STO (tecla S) seguida do nome guarda no registro o valor de X."},
    {R::kExplain, "RCL (tecla R) seguida do nome traz o valor guardado para o registro X."},
    {R::kTyped},
    {R::kExplain, "Exemplo: guardar 500 no registro 5 e depois recuperá-lo."},
    {R::kExplain, "Digite 500 e aperte ENTER:"},
    {R::kPrompt, "500 "},
    {R::kExplain, "Aperte S e depois 5. O 500 fica guardado no registro 5 e continua em X:"},
    {R::kPrompt, "STO+5 "},
    {R::kExplain, "Mais tarde, aperte R e depois 5. O 500 volta para o registro X:"},
    {R::kPrompt, "RCL+5 "},
    {R::kExplain, "Os registros gerais só são apagados pela tecla A, que apaga todos os"},
    {R::kExplain, "registros."},
};

constexpr LessonLine kFinancialRegisters[] = {
    {R::kExplain, "Os registros financeiros guardam os dados dos cálculos de juros compostos."},
    {R::kExplain, "Para armazenar um valor, digite-o e aperte a tecla do registro:"},
    {R::kHeadingAt, " Tecla "},
    {R::kHeadingAt, " Registro ", 23, 6},
    {R::kHeadingAt, " Abreviatura ", 57, 6},
    {R::kTyped},
    {R::kTyped, "   n                   Número de períodos                     n"},
    {R::kTyped, "   i                   Taxa de juros por período (%)          i"},
    {R::kTyped, "   p                   Valor presente                        PV"},
    {R::kTyped, "   m                   Pagamento periódico                   PMT"},
    {R::kTyped, "   v                   Valor futuro                          FV"},
    {R::kTyped},
    {R::kExplain, "Exemplo: armazenar 20 no registro n (20 períodos)."},
    {R::kExplain, "Digite 20:"},
    {R::kPrompt, "20 "},
    {R::kExplain, "Aperte a tecla n. O valor é dito e guardado em n, sem entrar na pilha:"},
    {R::kPrompt, "20n "},
    {R::kExplain, "Para conferir, aperte R e depois n: o valor de n vai para o registro X."},
};

constexpr LessonLine kCashFlowRegisters[] = {
    {R::kExplain, "Os fluxos de caixa, usados no cálculo do valor presente líquido (NPV), têm"},
    {R::kExplain, "registros próprios. O primeiro valor armazenado com a tecla k é o fluxo"},
    {R::kExplain, "inicial (CFo); os seguintes são os fluxos de cada período (CFj)."},
    {R::kHeadingAt, " Tecla ", 2, 7},
    {R::kHeadingAt, " Registro ", 26, 7},
    {R::kHeadingAt, " Abreviatura ", 50, 7},
    {R::kTyped},
    {R::kTyped, "    k                     Fluxo de caixa           CFo / CFj"},
    {R::kTyped, "  CTRL + k                Fluxo de caixa repetido     Nj"},
    {R::kTyped},
    {R::kExplain, "Exemplo: armazenar um fluxo inicial de 50."},
    {R::kExplain, "Digite 50:"},
    {R::kPrompt, "50 "},
    {R::kExplain, "Aperte a tecla k. Como é o primeiro fluxo, ele é guardado como CFo:"},
    {R::kPrompt, "50CFo "},
    {R::kExplain, "Quando um fluxo CFj se repete, digite quantas vezes seguidas ele acontece"},
    {R::kExplain, "e aperte CTRL + k (Nj)."},
};

constexpr LessonLine kModeRegisters[] = {
    {R::kExplain, "Dois registros especiais dizem como os juros compostos são calculados: o"},
    {R::kExplain, "modo de pagamento e o período fracionário. Cada aperto da tecla troca o"},
    {R::kExplain, "modo, que é escrito na tela e dito em voz alta."},
    {R::kHeadingAt, " Tecla ", 4, 7},
    {R::kHeadingAt, " Registro ", 25, 7},
    {R::kHeadingAt, " Abreviatura ", 45, 7},
    {R::kTyped},
    {R::kTyped, "    CTRL + M             Modo de pagamento    BEG / END"},
    {R::kTyped, "    PGUP                 Período fracionário  SPF / PF"},
    {R::kTyped},
    {R::kExplain, "BEG: os pagamentos são feitos no início de cada período."},
    {R::kExplain, "END: os pagamentos são feitos no fim de cada período. É o modo ao começar."},
    {R::kExplain, "PGUP passa, em roda, por três modos: juros compostos no período fracionário"},
    {R::kExplain, "(PF), juros simples no período fracionário e juros compostos sem período"},
    {R::kExplain, "fracionário (SPF), que é o modo ao começar."},
    {R::kExplain, "O período fracionário é a parte decimal de n, quando n não é inteiro."},
};

constexpr LessonLine kSimpleInterest[] = {
    {R::kExplain, "A tecla j calcula os juros simples com os valores dos registros n, i e PV."},
    {R::kHeadingAt, " Tecla "},
    {R::kHeadingAt, " Função ", 33, 5},
    {R::kHeadingAt, " Abreviatura ", 64, 5},
    {R::kTyped},
    {R::kTyped, "   j                             Juros simples                      INT"},
    {R::kTyped},
    {R::kExplain, "Armazene o número de dias em n, a taxa anual em i e o valor emprestado, com"},
    {R::kExplain, "o sinal -, em PV. Depois aperte j e ENTER."},
    {R::kTyped},
    {R::kTyped, "Problema: um empréstimo de 450 por 60 dias, a 7% ao ano. Quais são os juros?"},
    {R::kPrompt, "60n "},
    {R::kPrompt, "7i "},
    {R::kPrompt, "-450PV "},
    {R::kPrompt, "Juros Simples "},
    {R::kTyped, " = 5.25   "},
    {R::kExplain, "Os juros são 5.25, na base de 360 dias. A Quipular também deixa na pilha o"},
    {R::kExplain, "valor emprestado (em Y) e os juros na base de 365 dias (em Z)."},
};

constexpr LessonLine kPeriods[] = {
    {R::kExplain, "Com quatro dos cinco registros financeiros (n, i, PV, PMT e FV) armazenados,"},
    {R::kExplain, "a Quipular calcula o quinto. O dinheiro que você recebe é positivo, e o que"},
    {R::kExplain, "você paga, negativo. Para calcular, aperte a tecla do cálculo e ENTER:"},
    {R::kHeadingAt, " Tecla "},
    {R::kHeadingAt, " Função ", 33, 7},
    {R::kHeadingAt, " Abreviatura ", 64, 7},
    {R::kTyped},
    {R::kTyped, " SHIFT + N                       Cálculo do número de períodos       n"},
    {R::kTyped, " SHIFT + I                       Cálculo da taxa de juros            i"},
    {R::kTyped, " SHIFT + P                       Cálculo do valor presente          PV"},
    {R::kTyped, " SHIFT + M                       Cálculo do pagamento periódico     PMT"},
    {R::kTyped, " SHIFT + V                       Cálculo do valor futuro            FV"},
    {R::kTyped},
    {R::kTyped, "Problema: você deposita 775 numa poupança que rende 6.25% ao ano e, no fim"},
    {R::kTyped, "de cada quinzena, deposita mais 50. Em quantas quinzenas o saldo chega a"},
    {R::kTyped, "4000?"},
    {R::kPage},
    {R::kExplain, "Comece apagando os registros financeiros com CTRL + A."},
    {R::kExplain, "Os períodos são quinzenas, então a taxa é por quinzena: 6.25 / 24 = 0.26%."},
    {R::kPrompt, "0.26i "},
    {R::kExplain, "O depósito inicial sai do seu bolso: -775 em PV (tecla p)."},
    {R::kPrompt, "-775p "},
    {R::kExplain, "Cada depósito da quinzena também sai: -50 em PMT (tecla m)."},
    {R::kPrompt, "-50m "},
    {R::kExplain, "O saldo a alcançar entra em FV (tecla v)."},
    {R::kPrompt, "4000v "},
    {R::kExplain, "Os depósitos são no fim de cada quinzena: o modo deve ser END. CTRL + M"},
    {R::kExplain, "troca entre BEG e END e diz o modo escolhido."},
    {R::kPrompt, "END"},
    {R::kExplain, "Calcule n com SHIFT + N e ENTER:"},
    {R::kPrompt, "Calculo n "},
    {R::kTyped, " = 58.   "},
    {R::kExplain, "São 58 quinzenas: a Quipular arredonda n para cima, para um número inteiro"},
    {R::kExplain, "de períodos."},
};

constexpr LessonLine kInterestRate[] = {
    {R::kExplain, "A taxa de juros é calculada como os outros registros financeiros: com os"},
    {R::kExplain, "outros quatro armazenados, aperte a tecla do cálculo e ENTER. A taxa sai"},
    {R::kExplain, "por período, em porcentagem."},
    {R::kHeadingAt, " Tecla "},
    {R::kHeadingAt, " Função ", 33, 7},
    {R::kHeadingAt, " Abreviatura ", 64, 7},
    {R::kTyped},
    {R::kTyped, " SHIFT + N                       Cálculo do número de períodos       n"},
    {R::kTyped, " SHIFT + I                       Cálculo da taxa de juros            i"},
    {R::kTyped, " SHIFT + P                       Cálculo do valor presente          PV"},
    {R::kTyped, " SHIFT + M                       Cálculo do pagamento periódico     PMT"},
    {R::kTyped, " SHIFT + V                       Cálculo do valor futuro            FV"},
    {R::kTyped},
    {R::kTyped, "Problema: um capital de 6000 cresce até 10000 em 8 anos, com capitalização"},
    {R::kTyped, "trimestral. Qual é a taxa de juros por trimestre?"},
    {R::kPage},
    {R::kExplain, "Comece apagando os registros financeiros com CTRL + A: PMT fica 0."},
    {R::kExplain, "Em 8 anos há 8 x 4 = 32 trimestres: armazene 32 em n."},
    {R::kPrompt, "32n "},
    {R::kExplain, "O capital sai do seu bolso: -6000 em PV (tecla p)."},
    {R::kPrompt, "-6000p "},
    {R::kExplain, "O valor final volta para você: 10000 em FV (tecla v)."},
    {R::kPrompt, "10000v "},
    {R::kExplain, "Calcule i com SHIFT + I e ENTER:"},
    {R::kPrompt, "Calculo i "},
    {R::kTyped, " = 1.61   "},
    {R::kExplain, "A taxa é de 1.61% por trimestre. Multiplicada por 4, dá a taxa anual"},
    {R::kExplain, "nominal: 6.44% ao ano."},
};

template <size_t N>
constexpr int Count(const LessonLine (&)[N]) {
  return static_cast<int>(N);
}

#define a a, Count(a)

// clang-format off
constexpr Lesson kLessons[] = {
    {'U', 2, " OPERACAO QUIPULAR ", Screen::kFull, "DOexemplo13", {"DOexemplosIL13"}, kOperation},
    {'U', 3, " REGISTROS DA PILHA ", Screen::kTwoPages, "DOexemplo14",
     {"DOexemplosIL14", "DOexemplosIL14-1"}, kStack},
    {'U', 4, " REGISTROS DA CALCULADORA ", Screen::kFull, "DOexemplo18",
     {"DOexemplosIL18"}, kRegisters},
    {'U', 5, " ENTRANDO NUMEROS ", Screen::kHeader, "DOexemplo12",
     {"DOexemplosIL12"}, kEnteringNumbers},
    {'U', 6, " DIGITACAO DE NUMEROS GRANDES (EEX) ", Screen::kFull, "DOexemplo10",
     {"DOexemplosIL10"}, kLargeNumbers},
    {'U', 7, " NUMEROS DE CASAS DECIMAIS (#DECIMAIS) ", Screen::kFull, "DOexemplo11",
     {"DOexemplosIL11"}, kDecimals},
    {'U', 8, " SOMAR DOIS VALORES (+) ", Screen::kHeader, "DOexemplo1",
     {"DOexemplosIL1"}, kAddition},
    {'U', 9, " CALCULO DA RAIZ QUADRADA (SQRT) ", Screen::kHeader, "DOexemplo2",
     {"DOexemplosIL2"}, kSquareRoot},
    {'U', 10, " CALCULO DO LOGARITMO NATURAL (LN) ", Screen::kHeader, "DOexemplo3",
     {"DOexemplosIL3"}, kLogarithm},
    {'U', 11, " CALCULO DO EXPONENCIAL (e^x) ", Screen::kHeader, "DOexemplo4",
     {"DOexemplosIL4"}, kExponential},
    {'U', 12, " CALCULO DA POTENCIA ", Screen::kHeader, "DOexemplo5", {"DOexemplosIL5"}, kPower},
    {'U', 13, " CALCULO DO INVERSO (1/x) ", Screen::kHeader, "DOexemplo6",
     {"DOexemplosIL6"}, kInverse},
    {'U', 14, " CALCULO DO FATORIAL (n!) ", Screen::kHeader, "DOexemplo7",
     {"DOexemplosIL7"}, kFactorial},
    {'U', 15, " PARTE INTEIRA DO VALOR (INTG) ", Screen::kHeader, "DOexemplo8",
     {"DOexemplosIL8"}, kIntegerPart},
    {'U', 16, " PARTE FRACIONARIA DO VALOR (FRAC) ", Screen::kHeader, "DOexemplo9",
     {"DOexemplosIL9"}, kFractionalPart},
    {'U', 17, " SETAS DO TECLADO ", Screen::kFull, "DOexemplo19", {"DOexemplosIL19"}, kArrows},
    {'U', 18, " REGISTROS GERAIS QUIPULAR ", Screen::kFull, "DOexemplo20",
     {"DOexemplosIL20"}, kStorage},
    {'o', 2, " REGISTROS FINANCEIROS ", Screen::kFull, "DOregFin",
     {"DOexemplosIL15-1"}, kFinancialRegisters},
    {'o', 3, " REGISTROS FINANCEIROS ADICIONAIS ", Screen::kFull, "DOregFinAD",
     {"DOexemplosIL16"}, kCashFlowRegisters},
    {'o', 4, " REGISTROS FINANCEIROS ESPECIAIS ", Screen::kFull, "DOregFinEs",
     {"DOexemplosIL17"}, kModeRegisters},
    {'o', 5, " CALCULO JUROS SIMPLES ", Screen::kFull, "DOJSCalculo",
     {"DOexemplosIL21-1.1"}, kSimpleInterest},
    {'o', 6, " CALCULO DO NUMERO DE PERIODOS DE CAPITALIZACAO ", Screen::kTwoPages, "DOnCalculo",
     {"DOexemplosIL21-1", "DOexemplosIL21-2"}, kPeriods},
    {'o', 7, " CALCULO DA TAXA DE JUROS ", Screen::kTwoPages, "DOICalculo",
     {"DOexemplosIL22-1", "DOexemplosIL22-2"}, kInterestRate},
};
// clang-format on

// The whole console, cleared on white on black.
void ClearWholeScreen() {
  Colours(15, 0);
  MoveCursor(1, 1);
  ClearScreen();
}

void WriteTitle(const Lesson& lesson) {
  Colours(15, 2);
  ConsoleWriteLine();
  ConsoleWriteLine(Cp1252(lesson.title));
}

// A prompt line: the label, then what was typed; a "|" in the text switches
// between the typed colours and the label's red.
void WritePrompt(const std::string& text) {
  Colours(15, 4);
  ConsoleWrite("Operando: ");
  bool red = false;
  size_t from = 0;
  for (;;) {
    Colours(15, red ? 4 : 0);
    size_t bar = text.find('|', from);
    ConsoleWrite(text.substr(from, bar == std::string::npos ? bar : bar - from));
    if (bar == std::string::npos) break;
    from = bar + 1;
    red = !red;
  }
  Colours(15, 0);
  ConsoleWriteLine();
}

void WriteLine(const LessonLine& line) {
  std::string text = Cp1252(line.text);
  switch (line.role) {
    case Role::kExplain:
      Colours(15, 1);
      ConsoleWriteLine(text);
      break;
    case Role::kTyped:
      Colours(15, 0);
      ConsoleWriteLine(text);
      break;
    case Role::kPrompt:
      WritePrompt(text);
      break;
    case Role::kHeading:
      Colours(15, 4);
      ConsoleWriteLine(text);
      break;
    case Role::kHeadingAt:
      Colours(15, 4);
      if (line.column) MoveCursor(line.column, line.row);
      ConsoleWrite(text);
      break;
    case Role::kPage:
      break;
  }
}

// One showing of the lesson, narrations included.
void ShowLesson(const Lesson& lesson) {
  if (lesson.screen == Screen::kHeader)
    ShowGuidanceScreen(GuidanceScreen::kIllustratedExamples);
  else
    ClearWholeScreen();
  WriteTitle(lesson);
  SetBrailleFocus(CursorRow() - 1);
  PlaySoundKey(lesson.title_sound);
  Pause(200);
  ConsoleWriteLine();
  int page = 0, top = CursorRow();  // a page's narration is shown from its first row
  for (const LessonLine& line : lesson.lines) {
    if (line.role != Role::kPage) {
      WriteLine(line);
      continue;
    }
    SetBrailleFocus(top);
    PlaySoundKey(lesson.narrations[page++]);
    Pause(300);
    ClearWholeScreen();
    WriteTitle(lesson);
    ConsoleWriteLine();
    top = CursorRow();
  }
  Colours(15, 0);
  SetBrailleFocus(top);
  PlaySoundKey(lesson.narrations[page]);
  Pause(500);
  SetBrailleFocus(0);
}

}  // namespace

ExampleEnd RunLesson(char kind, int row) {
  for (const Lesson& lesson : kLessons) {
    if (lesson.kind != kind || lesson.row != row) continue;
    ExampleEnd end;
    do {
      ShowLesson(lesson);
      end = AskRepeatExample();
    } while (end == ExampleEnd::kRepeat);
    return end;
  }
  return ExampleEnd::kNoExample;
}

}  // namespace quipular
