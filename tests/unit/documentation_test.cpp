// The documents against the program: the manual page names every option,
// exit code and key name the program knows, and the key tables of the README
// and of the user's guide say what the command table does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <sstream>

#include "calculator/commands.h"
#include "command_line.h"
#include "console/key_notation.h"
#include "console/program_exit.h"

namespace quipular {
namespace {

std::string ReadSource(const std::string& name) {
  std::ifstream in(std::string(QUIPULAR_SOURCE_DIR) + "/" + name);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The manual page's source with groff's escaped minus turned back into "-".
std::string ManualPage() {
  std::string page = ReadSource("packaging/quipular.1.in");
  std::string out;
  for (size_t i = 0; i < page.size(); ++i) {
    if (page.compare(i, 2, "\\-") == 0) ++i;
    out += page[i];
  }
  return out;
}

// The lines of a section, from its .SH heading to the next.
std::string Section(const std::string& page, const std::string& heading) {
  size_t start = page.find(".SH " + heading + "\n");
  if (start == std::string::npos) return {};
  size_t end = page.find("\n.SH ", start + 1);
  return page.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

TEST(ManualPage, NamesEveryOptionOfTheProgram) {
  const std::string page = ManualPage(), usage = UsageText();
  const std::string options = Section(page, "OPÇÕES");
  ASSERT_FALSE(options.empty());
  std::set<std::string> known;
  for (const CommandLineOption& o : CommandLineOptions()) {
    known.insert(o.name);
    EXPECT_NE(usage.find(o.name), std::string::npos) << o.name << " is missing from --help";
    bool entry = false;
    for (const char* form : {"\n.B ", "\n.BI "})
      for (const char* after : {" ", "\n"})
        entry = entry || options.find(form + std::string(o.name) + after) != std::string::npos;
    EXPECT_TRUE(entry) << o.name << " has no entry in OPÇÕES";
  }
  // And nothing the program does not take.
  for (const std::string& text : {page, usage})
    for (size_t at = text.find("--"); at != std::string::npos; at = text.find("--", at + 2)) {
      size_t end = at + 2;
      while (end < text.size() && (std::islower(static_cast<unsigned char>(text[end])) ||
                                   (text[end] == '-' && end > at + 2)))
        ++end;
      if (end == at + 2) continue;
      std::string name = text.substr(at, end - at);
      EXPECT_TRUE(known.count(name)) << name << " is documented but not an option";
    }
}

TEST(ManualPage, NamesEveryExitCode) {
  const std::string codes = Section(ManualPage(), "CÓDIGOS DE SAÍDA");
  ASSERT_FALSE(codes.empty());
  const std::string usage = UsageText();
  const std::string usage_codes = usage.substr(usage.find("Exit codes:"));
  std::set<int> listed;
  const std::string entry = ".TP\n.B ";
  for (size_t at = codes.find(entry); at != std::string::npos; at = codes.find(entry, at + 1)) {
    size_t digits = at + entry.size(), end = digits;
    while (end < codes.size() && std::isdigit(static_cast<unsigned char>(codes[end]))) ++end;
    if (end > digits && codes[end] == '\n') listed.insert(std::stoi(codes.substr(digits)));
  }
  std::set<int> program(std::begin(kExitCodes), std::end(kExitCodes));
  EXPECT_EQ(listed, program);
  for (int code : program) {
    std::string n = std::to_string(code) + " ";
    EXPECT_TRUE(usage_codes.find(" " + n) != std::string::npos ||
                usage_codes.find("\n" + n) != std::string::npos)
        << "--help does not name exit code " << code;
  }
}

TEST(ManualPage, NamesEveryKeyOfTheNotation) {
  const std::string page = ManualPage(), usage = UsageText();
  const std::string notation = Section(page, "NOTAÇÃO DAS TECLAS");
  ASSERT_FALSE(notation.empty());
  for (const std::string& name : KeyNotationNames()) {
    std::string written = "<" + name + (name.back() == '+' ? "" : ">");
    // The function keys are written as a range, <F1> to <F12>.
    if (name.size() > 1 && name[0] == 'F' && std::isdigit(static_cast<unsigned char>(name[1])) &&
        name != "F1" && name != "F12")
      continue;
    EXPECT_NE(notation.find(written), std::string::npos) << written << " is not in the page";
    EXPECT_NE(usage.find(written), std::string::npos) << written << " is not in --help";
    // Every name is one the parser takes.
    if (name.back() != '+') {
      std::vector<KeyGroup> groups;
      std::string error;
      EXPECT_TRUE(ParseKeyNotation(written, groups, error)) << written << ": " << error;
    }
  }
}

// A key table: the rows under a header whose first cell is "Key" or
// "Tecla", as (key, screen) pairs with the backquotes taken off.
std::vector<std::pair<std::string, std::string>> KeyTable(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> rows;
  std::istringstream in(text);
  std::string line;
  bool inside = false;
  auto cell = [](const std::string& row, int n) {
    size_t at = 0;
    for (int i = 0; i <= n; ++i) at = row.find('|', at) + 1;
    std::string c = row.substr(at, row.find('|', at) - at);
    c.erase(std::remove(c.begin(), c.end(), '`'), c.end());
    c.erase(0, c.find_first_not_of(' '));
    c.erase(c.find_last_not_of(' ') + 1);
    return c;
  };
  while (std::getline(in, line)) {
    if (line.rfind("| Key |", 0) == 0 || line.rfind("| Tecla |", 0) == 0) {
      inside = true;
      std::getline(in, line);  // the rule under the header
      continue;
    }
    if (inside && line.rfind("|", 0) != 0) inside = false;
    if (inside) rows.emplace_back(cell(line, 0), cell(line, 1));
  }
  return rows;
}

TEST(KeyTables, MatchTheCommandTable) {
  for (const char* document : {"README.md", "doc/guia.md"}) {
    SCOPED_TRACE(document);
    auto rows = KeyTable(ReadSource(document));
    ASSERT_GE(rows.size(), 10u);
    std::set<char> commands;
    for (const auto& [key, screen] : rows) {
      if (std::isdigit(static_cast<unsigned char>(key[0]))) continue;  // the digits of a number
      if (key.size() == 1) {
        // A command key: the screen writes the command table's label.
        const Command* c = FindCommand(key[0]);
        ASSERT_NE(c, nullptr) << "'" << key << "' is not a command key";
        std::string label = c->label;
        label.erase(label.find_last_not_of(" =") + 1);
        EXPECT_EQ(screen, label) << "the screen column of '" << key << "'";
        commands.insert(key[0]);
      } else {
        // A named key: written as the key notation writes it.
        std::vector<KeyGroup> groups;
        std::string error;
        EXPECT_TRUE(ParseKeyNotation("<" + key + ">", groups, error)) << key << ": " << error;
      }
    }
    // The four operations and the financial keys, stored and computed.
    for (char c : std::string("+-*/nipmvNIPMV"))
      EXPECT_TRUE(commands.count(c)) << "the table lacks '" << c << "'";
  }
}

}  // namespace
}  // namespace quipular
