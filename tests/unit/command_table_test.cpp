// The command table as the rest of the program relies on it: one row a key,
// every row that is carried out has an action, what the validating
// dispatcher takes is exactly what it checks, the key test can name every
// one, and the CFo/CFj switch.
#include <gtest/gtest.h>

#include <set>

#include "calculator/command_actions.h"
#include "calculator/command_loop.h"
#include "calculator/commands.h"
#include "calculator/model.h"
#include "console/key_codes.h"
#include "functions/registers.h"

namespace quipular {
namespace {

TEST(CommandTable, RowsAreWhole) {
  std::set<char> keys;
  for (const Command& c : Commands()) {
    SCOPED_TRACE(std::string("key ") + std::to_string(static_cast<int>(c.key)));
    EXPECT_TRUE(keys.insert(c.key).second) << "a second row would never be found";
    EXPECT_TRUE(c.label && c.sound && c.log_name);
    // Operand entry's own keys (EEX, decimals) never reach the loop; the
    // rest do and need an action.
    if (c.key != 'e' && c.key != 'd') {
      EXPECT_NE(c.run, nullptr);
    }
    if (c.domain) {
      EXPECT_TRUE(c.checked) << "a domain only the validator applies";
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

TEST(CommandTable, LookUps) {
  EXPECT_TRUE(IsOperandToken("12.5"));
  EXPECT_TRUE(IsOperandToken(""));
  EXPECT_TRUE(IsOperandToken("7"));
  EXPECT_EQ(FindCommand('7'), nullptr);
  Operands operands;
  EXPECT_FALSE(ValidateAndCompute('+', operands)) << "+ is not a checked command";

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
