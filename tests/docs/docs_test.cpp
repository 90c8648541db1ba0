#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "bash_completion.h"
#include "man_page.h"
#include "program_definitions.h"

namespace pellar::docs {
namespace {

std::string ReadTemplate(const std::string& program) {
  std::ifstream file(std::string(PELLAR_SOURCE_DIR) + "/packaging/man/" + program + ".1.in");
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// `word` standing alone in a list of words, as in "--a --b" or a case label.
bool HasWord(const std::string& text, const std::string& word) {
  for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
    char before = at == 0 ? ' ' : text[at - 1];
    char after = at + word.size() < text.size() ? text[at + word.size()] : ' ';
    if (std::string(" \"|(").find(before) != std::string::npos &&
        std::string(" \"|)").find(after) != std::string::npos)
      return true;
  }
  return false;
}

class ProgramDocs : public ::testing::TestWithParam<std::string> {};

// What the program takes is what its manual and completion tell: every command, every option.
TEST_P(ProgramDocs, ManualNamesEveryCommandAndOption) {
  std::optional<DocumentedProgram> program = ProgramNamed(GetParam());
  ASSERT_TRUE(program);
  std::string page = ManPage(*program, ReadTemplate(GetParam()), "1.0.0.1");
  EXPECT_FALSE(Has(page, "@")) << "a placeholder is left";
  for (const DocumentedOption& option : program->options)
    for (const std::string& name : option.names) EXPECT_TRUE(Has(page, RoffEscape(name))) << name;
  for (const DocumentedCommand& command : program->commands) {
    EXPECT_TRUE(Has(page, ".SS \\fB" + RoffEscape(command.name) + "\\fR")) << command.name;
    for (const DocumentedOption& option : command.options) {
      if (option.help) continue;
      for (const std::string& name : option.names)
        EXPECT_TRUE(Has(page, RoffEscape(name))) << command.name << ' ' << name;
      for (const std::string& choice : option.choices) EXPECT_TRUE(Has(page, choice)) << choice;
    }
  }
}

#ifdef PELLAR_DOCS_STATION
INSTANTIATE_TEST_SUITE_P(Programs, ProgramDocs, ::testing::Values("pellar", "pellar-cli", "pellar-station"));
#else
INSTANTIATE_TEST_SUITE_P(Programs, ProgramDocs, ::testing::Values("pellar", "pellar-cli"));
#endif

TEST(CompletionDocs, OffersEveryCommandAndOptionOfTheCommandLine) {
  std::optional<DocumentedProgram> program = ProgramNamed("pellar-cli");
  ASSERT_TRUE(program);
  std::string script = BashCompletion(*program);
  EXPECT_TRUE(Has(script, "complete -F _pellar_cli pellar-cli"));
  for (const DocumentedOption& option : program->options)
    for (const std::string& name : option.names) EXPECT_TRUE(HasWord(script, name)) << name;
  for (const DocumentedCommand& command : program->commands) {
    EXPECT_TRUE(Has(script, " " + command.name + ")\n")) << command.name;
    for (const DocumentedOption& option : command.options) {
      if (option.positional) continue;
      for (const std::string& name : option.names)
        EXPECT_TRUE(HasWord(script, name)) << command.name << ' ' << name;
    }
  }
}

TEST(CompletionDocs, KnowsTheFieldNamesAndWhereFilesGo) {
  std::string script = BashCompletion(*ProgramNamed("pellar-cli"));
  EXPECT_TRUE(Has(script, " read)\n")) << script;
  EXPECT_TRUE(Has(script, "positionals=('words:sn pid vid manufacture bcd cmei model appkey version')"))
      << script;
  EXPECT_TRUE(Has(script, "positionals=('file')")) << script;  // update LISTFILE, inspect file
  EXPECT_TRUE(Has(script, "--simulate) _pellar_complete_value 'file'")) << script;
  EXPECT_TRUE(Has(script, "--path) _pellar_complete_value 'hidpath'")) << script;
}

TEST(RoffText, EscapesWhatRoffWouldTakeAsMarkup) {
  EXPECT_EQ(RoffEscape("--path"), "\\-\\-path");
  EXPECT_EQ(RoffEscape("a\\b"), "a\\eb");
  EXPECT_EQ(RoffEscape(".lzma"), "\\&.lzma");
  EXPECT_EQ(RoffEscape("'x"), "\\&'x");
}

TEST(ProgramDefinitions, KnowsOnlyOurPrograms) { EXPECT_FALSE(ProgramNamed("cat")); }

}  // namespace
}  // namespace pellar::docs
