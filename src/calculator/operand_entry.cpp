// Operand entry: prompt, one key loop driven by a state table, key filters,
// dispatch of every key, exponent entry and the store keys. The keys that act
// on the stack and the modes are in prompt_keys.cpp.
#include "calculator/operand_entry.h"

#include <cmath>

#include "calculator/calculation_log.h"
#include "calculator/commands.h"
#include "calculator/errors.h"
#include "calculator/key_map.h"
#include "calculator/model.h"
#include "calculator/prompt_keys.h"
#include "calculator/register_keys.h"
#include "calculator/spoken_results.h"
#include "calculator/working_screen.h"
#include "console/key_codes.h"
#include "console/text_console.h"
#include "console/text_encoding.h"
#include "functions/arithmetic.h"
#include "functions/number_text.h"
#include "functions/registers.h"
#include "voice/named_sounds.h"

namespace quipular {

namespace {

constexpr int kFull = 10;  // characters accepted in the operand text

// kLeave: ReadOperand returns at once, the answer unchanged (the decimals key
// while an example drives the entry). kOpenMenu and kRunKeyTest are requests
// that ReadOperand carries out through the guidance's entry points.
enum class Next { kContinue, kFinish, kRestart, kLeave, kOpenMenu, kRunKeyTest };

GuidanceEntryPoints g_guidance;

const Command* CommandOf(unsigned char k) {
  return FindCommand(static_cast<char>(k));
}

// Writes and says the command operand entry handles as `kind`.
void AnnounceEntry(EntryKind kind) {
  if (const Command* c = FindEntry(kind)) AnnounceCommand(std::string(1, c->key));
}

bool IsEntered(unsigned char k, EntryKind kind) {
  const Command* c = CommandOf(k);
  return c && c->entry == kind;
}

bool IsStoreKey(unsigned char k) {
  return IsEntered(k, EntryKind::kStore);
}

// The marks that what was typed leaves, each filtering the keys that follow
// (tried in this order), and the classes of keys they tell apart.
enum Mark { kPointMark, kDigitMark, kCommandMark, kMarkCount };
enum class KeyClass { kDigit, kPoint, kEnd, kKeyTest, kNumberKey, kSpace, kOther, kCount };
// kNegative: a digit or point is a new number only after a negative number.
enum class Step : unsigned char { kKeep, kClear, kRefuse, kNegative };

constexpr int kClassCount = static_cast<int>(KeyClass::kCount);
using enum Step;
// clang-format off
constexpr Step kFilter[kMarkCount][kClassCount] = {
    //            digit      point      end     key test number key space  other
    /* point   */ {kKeep,     kRefuse,   kClear, kKeep,   kKeep,     kKeep, kRefuse},
    /* digit   */ {kClear,    kClear,    kClear, kClear,  kClear,    kKeep, kRefuse},
    /* command */ {kNegative, kNegative, kClear, kClear,  kRefuse,   kKeep, kRefuse},
};
// clang-format on

// End: Enter, Backspace, Esc. Number keys: those that act on the number
// being typed (EEX, CHS, the store keys, the payment mode).
KeyClass ClassOf(unsigned char k) {
  if (IsDigit(k)) return KeyClass::kDigit;
  if (k == '.') return KeyClass::kPoint;
  if (k == kEnter || k == kBackspace || k == kEsc) return KeyClass::kEnd;
  if (k == kCtrlT) return KeyClass::kKeyTest;
  if (IsEntered(k, EntryKind::kExponent) || IsEntered(k, EntryKind::kChangeSign) ||
      k == kCtrlEnter || IsStoreKey(k))
    return KeyClass::kNumberKey;
  if (k == ' ') return KeyClass::kSpace;
  return KeyClass::kOther;
}

// Where the entry stands decides what the next key does: while typing, the
// filters and the dispatch table; a full operand takes only EEX, Backspace
// and Enter; the exponent takes digits, a leading minus and CHS until it is
// full (two characters, three once a minus was typed), then only Backspace
// and Enter.
enum class State { kTyping, kFull, kExponent, kExponentFull, kCount };
enum class KeyRole { kDigit, kMinus, kChs, kBackspace, kEnter, kExtended, kEex, kOther, kCount };
KeyRole RoleOf(unsigned char k) {
  if (IsDigit(k)) return KeyRole::kDigit;
  if (IsEntered(k, EntryKind::kMinus)) return KeyRole::kMinus;
  if (IsEntered(k, EntryKind::kChangeSign)) return KeyRole::kChs;
  if (k == kBackspace) return KeyRole::kBackspace;
  if (k == kEnter) return KeyRole::kEnter;
  if (k == kExtendedPrefix) return KeyRole::kExtended;
  if (IsEntered(k, EntryKind::kExponent)) return KeyRole::kEex;
  return KeyRole::kOther;
}

constexpr int kRoleCount = static_cast<int>(KeyRole::kCount);
// kType: through the filters and the dispatch table. kNothing, kInvalid:
// refused with "nothing" or "invalid key"; their X forms take an extended
// key's second code with it. kEnd: Enter ends the entry as typed. kErase: the
// whole entry goes. kExpEnd: the exponent is applied, or typed again.
// clang-format off
enum class Action : unsigned char {
  kType, kNothing, kInvalid, kNothingX, kInvalidX, kEnd, kErase,
  kEex, kExpDigit, kExpMinus, kExpChs, kExpEnd
};
using enum Action;
constexpr Action kActions[static_cast<int>(State::kCount)][kRoleCount] = {
    //                  digit      minus      CHS       Backspace Enter    extended   EEX       other
    /* typing */        {kType,     kType,     kType,    kType,   kType,   kType,     kType,    kType},
    /* full */          {kNothing,  kNothing,  kNothing, kErase,  kEnd,    kNothingX, kEex,     kNothing},
    /* exponent */      {kExpDigit, kExpMinus, kExpChs,  kErase,  kExpEnd, kInvalidX, kInvalid, kInvalid},
    /* exponent full */ {kNothing,  kNothing,  kNothing, kErase,  kExpEnd, kNothingX, kNothing, kNothing},
};
// clang-format on

struct Entry {
  OperandStack& stack;
  Operands& operands;
  EntryMode mode;
  std::string text;  // what has been typed
  State state = State::kTyping;
  std::string exponent;  // exponent digits during exponent entry
  size_t limit = 2;      // characters the exponent takes
  int exponent_column = 0;
  bool point_typed = false;
  bool digit_typed = false;
  bool waiting_command = false;
  bool number_typed = false;  // a number is being typed (the space key repeats it)
  // The labels' background: an example's until the calculation screen is
  // drawn again.
  int label_background;

  Entry(OperandStack& s, Operands& o, EntryMode m)
      : stack(s),
        operands(o),
        mode(m),
        label_background(m == EntryMode::kCalculator ? kLabelBackground : kExampleLabelBackground) {
  }

  void ShowCalculation() {
    ShowCalculationScreen();
    label_background = kLabelBackground;
  }

  void Prompt() {
    SetBackgroundColour(label_background);
    SetTextColour(15);
    Pause(100);
    AppendToLog("Operando: ", false);
    ConsoleWrite("Operando: ");
    Placeholder();
  }

  // The "0" that the first typed character replaces.
  void Placeholder() {
    SetBackgroundColour(0);
    SetTextColour(15);
    ConsoleWrite("0");
    PlaySoundKey("DOOPERANDO");
    MoveCursor(11, CursorRow());
  }

  void WriteLabel() { WritePromptLabel(label_background); }

  // Backspace erases the whole entry, not one character.
  void Erase() {
    number_typed = false;
    text.clear();
    MoveCursor(11, CursorRow());
    SetBackgroundColour(0);
    ClearToEndOfLine();
    PlaySoundKey("DOBORRADO");
    Placeholder();
  }

  // The filters of a number or a command being typed; false when the key is
  // refused (its second code is taken with it for an extended key).
  bool Filter(unsigned char k) {
    KeyClass c = ClassOf(k);
    bool* marks[kMarkCount] = {&point_typed, &digit_typed, &waiting_command};
    bool pass = true;
    for (int m = 0; m < kMarkCount && pass; ++m) {
      if (!*marks[m]) continue;
      switch (kFilter[m][static_cast<int>(c)]) {
        case Step::kKeep:
          break;
        case Step::kClear:
          *marks[m] = false;
          break;
        case Step::kRefuse:
          pass = false;
          break;
        case Step::kNegative:
          // A number typed after a command mark on a negative number: the
          // number's own mark takes over.
          if (!text.empty() && text[0] == '-') {
            digit_typed = true;
            point_typed = waiting_command = false;
          } else {
            pass = false;
          }
          break;
      }
    }
    if (!pass) {
      if (k == kExtendedPrefix) ReadKey();
      PlaySoundKey("DOnada");
    }
    return pass;
  }

  Next WriteCommand(unsigned char k, bool wait) {
    waiting_command = wait;
    std::string key(1, static_cast<char>(k));
    AnnounceCommand(key);
    text = key;
    return Next::kContinue;
  }

  Next ChangeSign() {
    AnnounceEntry(EntryKind::kChangeSign);
    DeleteLine();
    MoveCursor(1, CursorRow());
    if (text.empty()) {
      WriteLabel();
      text = std::string(1, FindEntry(EntryKind::kChangeSign)->key);  // CHS of X
      return Next::kFinish;
    }
    if (text[0] == '-')
      text.erase(0, 1);
    else
      text.insert(0, "-");
    WriteLabel();
    ConsoleWrite(text);
    digit_typed = true;
    return Next::kContinue;
  }

  // EEX: the number typed (or, with nothing typed, the one last entered)
  // becomes the mantissa, and the exponent is typed after the red E.
  Next Exponent() {
    AnnounceEntry(EntryKind::kExponent);
    if (!text.empty()) operands.x = NumberValue(text);
    text = FindEntry(EntryKind::kExponent)->log_name;
    exponent_column = CursorColumn();
    return FreshExponent();
  }

  Next FreshExponent() {
    PlaySoundKey("DOEEX");
    limit = 2;
    exponent.clear();
    state = State::kExponent;
    return Next::kContinue;
  }

  Next ExponentMinus() {
    limit = 3;  // raised even when the minus is refused
    if (!exponent.empty()) {
      PlaySoundKey("DOnada");
      return Next::kContinue;
    }
    ConsoleWrite("-");
    PlaySoundKey("DOmenos");
    exponent += '-';
    return CheckExponentFull();
  }

  Next ExponentDigit(unsigned char k) {
    ConsoleWrite(std::string(1, static_cast<char>(k)));
    SpellCharacter(k);
    exponent += static_cast<char>(k);
    return CheckExponentFull();
  }

  // CHS toggles the exponent's sign and writes it again; the sign counts
  // toward the limit.
  Next ExponentChs() {
    AnnounceEntry(EntryKind::kChangeSign);
    if (!exponent.empty() && exponent[0] == '-')
      exponent.erase(0, 1);
    else
      exponent.insert(0, "-");
    MoveCursor(exponent_column, CursorRow());
    ClearToEndOfLine();
    ConsoleWrite(exponent);
    return CheckExponentFull();
  }

  Next CheckExponentFull() {
    if (exponent.size() >= limit) {
      PlaySoundKey("DOnada");
      state = State::kExponentFull;
    }
    return Next::kContinue;
  }

  // An exponent out of -100..99 is erased and typed again from its column.
  Next ApplyExponent() {
    double e = NumberValue(exponent == "-" ? "" : exponent);
    if (e < -100 || e > 99 || e != std::trunc(e)) {
      MoveCursor(exponent_column, CursorRow());
      SetBackgroundColour(0);
      ClearToEndOfLine();
      return FreshExponent();
    }
    // The log line: EEX's log name, then the red E and the exponent as
    // written ("EE3").
    LogCommand(text + FindEntry(EntryKind::kExponent)->label + exponent);
    double& x = operands.x;
    x = static_cast<double>(x * std::pow(10.0L, static_cast<long double>(e)));
    // A mantissa left by an earlier result can carry the number beyond
    // the range of a double: it becomes the ceiling with its sign, as a
    // result does.
    x = BoundInfinity(x);
    ConsoleWriteLine();
    text = TokenText(operands.x);
    return Next::kFinish;
  }

  // Backspace in exponent entry or on a full operand: the whole entry goes,
  // marks included, so that a new number may have its point.
  Next EraseAll() {
    exponent.clear();
    point_typed = digit_typed = false;
    Erase();
    state = State::kTyping;
    return Next::kContinue;
  }

  Next StoreKey(unsigned char k) {
    PlaySoundKey("DOArmazena");
    AnnounceCommand(std::string(1, static_cast<char>(k)));
    double& x = operands.x;
    if (!text.empty()) {
      x = NumberValue(text);
    } else if (stack.levels.empty()) {
      ConsoleWriteLine();
      ReportError(6);
      return Next::kRestart;
    } else {
      x = stack.levels.back();
    }
    ShowMessage(CursorRow());  // the prompt with the register: the store is confirmed
    const Command* c = CommandOf(k);
    double stored = c->compute.stored_as ? c->compute.stored_as(x) : x;
    KeepDecimalsFor(stored);
    SpeakNumber(stored);
    ConsoleWriteLine();
    text = std::string(1, static_cast<char>(k));
    return Next::kFinish;
  }

  Next Decimals() {
    AnnounceEntry(EntryKind::kDecimals);
    ChooseDecimals();
    text.clear();
    return mode == EntryMode::kExampleDecimals ? Next::kLeave : Next::kRestart;
  }

  // The key test; what was typed is dropped, marks included, so the new
  // prompt starts clean.
  Next AfterKeyTest() {
    text.clear();
    point_typed = digit_typed = waiting_command = false;
    number_typed = false;
    ShowCalculation();
    PlaySoundKey("DORegresoCalc");
    return Next::kRestart;
  }

  // Ctrl+F: the menu's answer is handled as if its key had been typed at
  // the place where the menu was opened.
  Next AfterMenu(MenuAnswer answer, int column, int row) {
    unsigned char k = answer.key;
    if (answer.over_examples && k == kNothingChosen) {
      ShowCalculation();
      return Next::kRestart;
    }
    MoveCursor(column, row);
    if (answer.over_examples) {
      MoveCursor(1, row);
      WriteLabel();
      MoveCursor(column, row);
    }
    if (IsStoreKey(k)) return StoreKey(k);
    if (const Command* c = CommandOf(k)) {
      if (c->entry == EntryKind::kExponent) return Exponent();
      if (c->entry == EntryKind::kChangeSign) return ChangeSign();
      if (c->entry == EntryKind::kDecimals) return Decimals();
    }
    switch (k) {
      case kNothingChosen:
        return Next::kContinue;
      case kCtrlEnter:
        return PaymentMode();
      case kCtrlT:
        return Next::kRunKeyTest;
      case kBackspace:  // BS erases the entry, as the key does
        return Dispatch(k);
      case 'u':
      case 'o':
      case 'U':
        MoveCursor(1, 11);
        return Next::kRestart;
      default:
        return WriteCommand(k, true);
    }
  }

  Next PaymentMode() {
    SwitchPaymentMode();
    return Next::kRestart;
  }

  // One key through the dispatch table.
  Next Dispatch(unsigned char k) {
    if (k == kEnter) {
      ConsoleWriteLine();
      return Next::kFinish;
    }
    if (k == kBackspace) {
      if (text.empty())
        PlaySoundKey("DOnada");
      else
        Erase();
      return Next::kContinue;
    }
    if (k == '.' || IsDigit(k)) {
      (k == '.' ? point_typed : digit_typed) = true;
      number_typed = true;
      ConsoleWrite(std::string(1, static_cast<char>(k)));
      SpellCharacter(k);
      text += static_cast<char>(k);
      return Next::kContinue;
    }
    if (const Command* c = CommandOf(k)) {
      switch (c->entry) {
        case EntryKind::kExponent:
          return Exponent();
        case EntryKind::kChangeSign:
          return ChangeSign();
        case EntryKind::kDecimals:
          return Decimals();
        case EntryKind::kMinus:
          if (!text.empty()) {
            PlaySoundKey("DOnada");
            return Next::kContinue;
          }
          return WriteCommand(k, true);
        case EntryKind::kWaits:
          return WriteCommand(k, true);
        case EntryKind::kWaitsFree:
          return WriteCommand(k, false);
        case EntryKind::kAtOnceLine:
          WriteCommand(k, false);
          ConsoleWriteLine();
          return Next::kFinish;
        case EntryKind::kAtOnce:
          WriteCommand(k, false);
          return Next::kFinish;
        case EntryKind::kStore:
          return StoreKey(k);
      }
    }
    if (k == kCtrlEnter && CtrlLetterHeld('M')) return PaymentMode();
    if (k == kCtrlT && CtrlLetterHeld('T')) return Next::kRunKeyTest;
    if (k == kCtrlF) return Next::kOpenMenu;
    if (k == kExtendedPrefix)
      return StackKey(stack, ReadKey(), label_background) ? Next::kRestart : Next::kContinue;
    if (k == ' ') {
      if (!text.empty()) PlaySoundKey("DOdigitado");
      RepeatEntry(text, number_typed);
      return Next::kContinue;
    }
    if (k == kEsc) {
      LogCommand("ESC");
      ConsoleWriteLine();
      ConfirmExit();
      ShowCalculation();
      text = "\x1b";
      return Next::kFinish;
    }
    PlaySoundKey("DOTECLAINV");
    return Next::kContinue;
  }
};

// Carries out the requests for guidance until the entry goes on by itself.
Next CarryOut(Entry& entry, Next next) {
  for (;;) {
    if (next == Next::kOpenMenu) {
      int column = CursorColumn(), row = CursorRow();
      next = entry.AfterMenu(g_guidance.run_menu(entry.operands), column, row);
    } else if (next == Next::kRunKeyTest) {
      g_guidance.run_key_test();
      next = entry.AfterKeyTest();
    } else {
      return next;
    }
  }
}

// A key while typing: through the filters and the dispatch table; the tenth
// character makes the operand full.
Next Type(Entry& entry, unsigned char k) {
  if (!entry.Filter(k)) return Next::kContinue;
  Next next = CarryOut(entry, entry.Dispatch(k));
  if (next == Next::kContinue && entry.state == State::kTyping && entry.text.size() == kFull) {
    PlaySoundKey("DOnada");
    entry.state = State::kFull;
  }
  return next;
}

// One key, as the entry's state row of kActions tells.
Next Handle(Entry& entry, unsigned char k) {
  switch (kActions[static_cast<int>(entry.state)][static_cast<int>(RoleOf(k))]) {
    case kType:
      return Type(entry, k);
    case kNothingX:
      ReadKey();
      [[fallthrough]];
    case kNothing:
      PlaySoundKey("DOnada");
      return Next::kContinue;
    case kInvalidX:
      ReadKey();
      [[fallthrough]];
    case kInvalid:
      PlaySoundKey("DOTECLAINV");
      return Next::kContinue;
    case kEnd:
      ConsoleWriteLine();
      return Next::kFinish;
    case kErase:
      return entry.EraseAll();
    case kEex:
      return entry.Exponent();
    case kExpDigit:
      return entry.ExponentDigit(k);
    case kExpMinus:
      return entry.ExponentMinus();
    case kExpChs:
      return entry.ExponentChs();
    case kExpEnd:
      return entry.ApplyExponent();
  }
  return Next::kContinue;
}

}  // namespace

void SetGuidanceEntryPoints(const GuidanceEntryPoints& entry_points) {
  g_guidance = entry_points;
}

void ReadOperand(OperandStack& stack, Operands& operands, std::string& answer, EntryMode mode) {
  Entry entry(stack, operands, mode);
  entry.Prompt();
  for (;;) {
    // A full operand and the exponent write on in the colours they began with.
    if (entry.state == State::kTyping) {
      SetBackgroundColour(0);
      SetTextColour(15);
    }
    Next next = Handle(entry, ReadKey());
    if (next == Next::kLeave) return;
    if (next == Next::kRestart) {
      entry.Prompt();
      continue;
    }
    if (next == Next::kFinish) break;
  }
  if (CursorRow() > 24) ShowCalculationScreen();
  answer = entry.text;
}

}  // namespace quipular
