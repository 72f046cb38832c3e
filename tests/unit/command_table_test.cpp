// The command table as the rest of the program relies on it: one row a key,
// every row that is carried out has an action and the computation that
// action calls, the menu places do not collide, the key test can name every
// one, and the CFo/CFj switch; and the stack keys' table beside it.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

#include "calculator/command_actions.h"
#include "calculator/command_loop.h"
#include "calculator/commands.h"
#include "calculator/model.h"
#include "calculator/stack_keys.h"
#include "console/key_codes.h"
#include "functions/registers.h"

namespace quipular {
namespace {

// The computation each action calls.
bool HasComputation(const Command& c) {
  const Computation& k = c.compute;
  switch (c.run) {
    case Action::kTwoNumbers:
    case Action::kDivide:
    case Action::kPercent:
    case Action::kPercentKeepBase:
      return k.two;
    case Action::kOneNumber:
      return k.one;
    case Action::kSolve:
      return k.solve;
    case Action::kStatistic:
      return k.statistic;
    case Action::kDepreciation:
      return k.depreciate;
    case Action::kStacked:
      return k.stacked;
    case Action::kStoreFinancial:
      return k.store;
    case Action::kCashFlow:
      return k.cash_flow;
    case Action::kAccumulate:
    case Action::kTakeAway:
      return k.pair;
    case Action::kClear:
      return k.clear;
    default:
      return true;
  }
}

TEST(CommandTable, MenuPlacesAreDistinct) {
  std::set<std::pair<int, int>> places;
  for (const Command& c : Commands()) {
    if (c.menu.column == MenuColumnId::kNone) {
      EXPECT_EQ(c.menu_name, nullptr) << int(c.key) << " has a menu text but no place";
      continue;
    }
    EXPECT_NE(c.menu_name, nullptr) << int(c.key) << " would be a blank menu item";
    EXPECT_TRUE(places.insert({static_cast<int>(c.menu.column), c.menu.place}).second)
        << int(c.key) << " shares its menu place";
  }
}

TEST(CommandTable, RowsAreWhole) {
  std::set<char> keys;
  for (const Command& c : Commands()) {
    SCOPED_TRACE(std::string("key ") + std::to_string(static_cast<int>(c.key)));
    EXPECT_TRUE(keys.insert(c.key).second) << "a second row would never be found";
    EXPECT_TRUE(c.label && c.sound && c.log_name);
    // Operand entry's own keys (EEX, decimals) never reach the loop; the
    // rest do and need an action.
    if (c.entry != EntryKind::kExponent && c.entry != EntryKind::kDecimals) {
      EXPECT_NE(c.run, Action::kNone);
    }
    EXPECT_TRUE(HasComputation(c)) << "the action would call a null computation";
    if (c.example) {
      EXPECT_TRUE(c.operands == 1 ? c.compute.one != nullptr
                                  : c.operands == 2 && c.compute.two != nullptr)
          << "the examples ask for one value or two";
    }
    if (c.menu_name) {
      EXPECT_NE(c.help, nullptr) << "the menu's F1 would be silent";
    }
    EXPECT_TRUE(c.key_test.function && c.key_test.kind) << "the key test would call it invalid";
    // The key test finds a control key by the letter held with Ctrl, and
    // takes Backspace (Ctrl+H) and Enter (Ctrl+M) for its own rows.
    if (c.key > 0 && c.key < ' ') {
      EXPECT_TRUE(c.key <= 26 && c.key != kBackspace && c.key != kEnter);
    }
    EXPECT_EQ(FindCommand(c.key), &c);
    EXPECT_FALSE(IsOperandToken(std::string(1, c.key)));
  }
}

// What a register key says it stored is what RCL of that register gives
// back, and RCL takes only register keys.
TEST(CommandTable, RegisterKeysRecallWhatTheyStore) {
  const double x = 7.3;
  for (const Command& c : Commands()) {
    SCOPED_TRACE(std::string("key ") + std::to_string(static_cast<int>(c.key)));
    if (c.compute.recall) {
      EXPECT_EQ(c.entry, EntryKind::kStore);
    }
    Registers r;
    double said = c.compute.stored_as ? c.compute.stored_as(x) : x;
    if (c.compute.store) {
      c.compute.store(r, x);
    } else if (c.compute.cash_flow && c.compute.recall) {
      ASSERT_TRUE(c.compute.cash_flow(r, x));
    } else {
      EXPECT_EQ(c.compute.stored_as, nullptr) << "only a register key says what it stored";
      continue;
    }
    int recalled = 0;
    for (const Command& d : Commands())
      if (d.compute.recall && std::abs(d.compute.recall(r) - said) <= 1e-12 * std::abs(said))
        ++recalled;
    EXPECT_EQ(recalled, 1);
  }
}

// The stack keys share the menu's columns with the commands, and the key
// test and the prompt find them by the key alone.
TEST(StackKeys, RowsAreWholeAndApartFromTheCommands) {
  std::set<std::pair<int, int>> places;
  for (const Command& c : Commands())
    if (c.menu.column != MenuColumnId::kNone)
      places.insert({static_cast<int>(c.menu.column), c.menu.place});
  std::set<int> keys;
  for (const StackKeyRow& s : StackKeys()) {
    SCOPED_TRACE(s.key);
    EXPECT_TRUE(s.name && s.key && s.kind && s.key_test_sounds[0]);
    if (s.first == kNoExtendedKey) {
      // A key typed with Ctrl: no command may hold its code.
      EXPECT_TRUE(s.ctrl && s.code);
      EXPECT_EQ(FindCommand(s.code), nullptr);
    } else {
      ASSERT_LE(s.first, s.last);
      for (int k = s.first; k <= s.last; ++k) {
        EXPECT_TRUE(keys.insert(k).second) << "a key in two rows";
        EXPECT_EQ(FindStackKey(static_cast<ExtendedKey>(k)), &s);
      }
      EXPECT_TRUE(s.action == StackAction::kNextInterestMode || s.sound)
          << "the prompt would say nothing";
    }
    for (const StackMenuItem& m : s.menu) {
      if (!m.text) continue;
      EXPECT_NE(s.column, MenuColumnId::kNone);
      EXPECT_TRUE(m.sound && m.help);
      EXPECT_TRUE(places.insert({static_cast<int>(s.column), m.place}).second)
          << m.text << " shares its menu place";
    }
  }
}

TEST(CommandTable, LookUps) {
  EXPECT_TRUE(IsOperandToken("12.5"));
  EXPECT_TRUE(IsOperandToken(""));
  EXPECT_TRUE(IsOperandToken("7"));
  EXPECT_EQ(FindCommand('7'), nullptr);

  Registers saved = g_registers;
  g_registers.cf_next = 1;
  EXPECT_STREQ(FindKey('k')->label, "CFo");
  g_registers.cf_next = 2;
  EXPECT_STREQ(FindKey('k')->label, "CFj");
  EXPECT_STREQ(FindKey(std::string(1, kCtrlX))->log_name, "LN");
  EXPECT_EQ(FindKey("kk"), nullptr);
  g_registers = saved;
}

}  // namespace
}  // namespace quipular
