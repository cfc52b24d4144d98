// framehost's command line, the typing of NAME=VALUE arguments by the
// registered signature, and the reading of report lines.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "command_line.h"
#include "report_tally.h"
#include "script_arguments.h"

namespace vorlith::testing {
namespace {

using runner::ScriptArgument;
using runner::UsageError;

TEST(CommandLine, TakesOptionsInputAndArguments) {
  const runner::CommandLine line = runner::ParseCommandLine(
      {"--quiet", "clip.y4m", "th=40", "-o", "-", "show=true", "--plugin", "p.so"});
  EXPECT_EQ(line.input, "clip.y4m");
  EXPECT_EQ(line.output, "-");
  EXPECT_EQ(line.plugin, "p.so");
  EXPECT_EQ(line.function, "Vorlith");
  EXPECT_TRUE(line.quiet);
  ASSERT_EQ(line.arguments.size(), 2u);
  EXPECT_EQ(line.arguments[1].name, "show");
  EXPECT_EQ(line.arguments[1].value, "true");
  EXPECT_EQ(runner::ParseCommandLine({"-"}).input, "-");
}

TEST(CommandLine, RefusesWhatItCannotUse) {
  const std::vector<std::vector<std::string>> bad = {{},
                                                     {"-o", "out.y4m"},
                                                     {"clip.y4m", "-o"},
                                                     {"--frobnicate", "clip.y4m"},
                                                     {"clip.y4m", "second.y4m"},
                                                     {"clip.y4m", "=3"},
                                                     {"--cpu-flags", "lots", "clip.y4m"}};
  for (const std::vector<std::string>& words : bad) {
    EXPECT_THROW(runner::ParseCommandLine(words), UsageError) << ::testing::PrintToString(words);
  }
}

// Words that would make a run do something else than asked, quietly: each
// is a usage error that names the word.
TEST(CommandLine, RefusesWordsThatWouldBeTakenForSomethingElse) {
  const struct {
    std::vector<std::string> words;
    std::string message;
  } cases[] = {
      // An unset variable in `-o "$OUT"`: not "no output".
      {{"clip.y4m", "-o", ""}, "-o needs a file name or -, not an empty word"},
      {{"clip.y4m", "-o", "a.y4m", "-o", "b.y4m"}, "-o given twice: a.y4m and b.y4m"},
      // Not the input file "th=40".
      {{"th=40", "clip.y4m"}, "script argument th=40 comes before INPUT; give INPUT first"},
  };
  for (const auto& c : cases) {
    try {
      runner::ParseCommandLine(c.words);
      ADD_FAILURE() << ::testing::PrintToString(c.words) << " was taken";
    } catch (const UsageError& error) {
      EXPECT_EQ(error.what(), c.message);
    }
  }
  // A path is an input, whatever it holds.
  EXPECT_EQ(runner::ParseCommandLine({"./th=40.y4m"}).input, "./th=40.y4m");
  EXPECT_TRUE(runner::ParseCommandLine({"--version"}).version);
}

struct TypingCase {
  std::vector<ScriptArgument> arguments;
  std::string error;  // empty when the arguments fit
};

void PrintTo(const TypingCase& c, std::ostream* os) { *os << (c.error.empty() ? "fits" : c.error); }

class ScriptArgumentTyping : public ::testing::TestWithParam<TypingCase> {};

TEST_P(ScriptArgumentTyping, FollowsTheSignature) {
  const std::vector<host::Parameter> parameters = host::ParseSignature("c[th]i[show]b");
  try {
    const std::vector<host::Argument> typed =
        runner::TypeScriptArguments("Vorlith", parameters, GetParam().arguments);
    EXPECT_EQ(GetParam().error, "");
    ASSERT_EQ(typed.size(), GetParam().arguments.size());
    for (std::size_t i = 0; i < typed.size(); ++i) {
      const AVSValue& value = typed[i].value;
      EXPECT_TRUE(typed[i].name == "th" ? value.IsInt() : value.IsBool());
      if (value.IsBool()) {
        EXPECT_EQ(value.AsBool(false), host::SameName(GetParam().arguments[i].value, "true"));
      }
    }
  } catch (const UsageError& error) {
    EXPECT_EQ(error.what(), GetParam().error);
  }
}

const std::string kAccepted = "; Vorlith takes th=int, show=bool";

INSTANTIATE_TEST_SUITE_P(
    Table, ScriptArgumentTyping,
    ::testing::Values(TypingCase{{{"th", "-2147483648"}, {"SHOW", "false"}}, ""},
                      TypingCase{{{"show", "TRUE"}}, ""}, TypingCase{{{"show", "False"}}, ""},
                      TypingCase{{{"show", "1"}}, "show=1 is not a valid bool" + kAccepted},
                      TypingCase{{{"threshold", "3"}}, "unknown argument threshold" + kAccepted},
                      TypingCase{{{"th", "4o"}}, "th=4o is not a valid int" + kAccepted},
                      TypingCase{{{"th", "2147483648"}},
                                 "th=2147483648 is not a valid int" + kAccepted},
                      TypingCase{{{"th", ""}}, "th= is not a valid int" + kAccepted},
                      TypingCase{{{"show", "yes"}}, "show=yes is not a valid bool" + kAccepted},
                      TypingCase{{{"th", "1"}, {"th", "2"}}, "th given twice"}));

TEST(ReportTally, CountsReportLinesByCyclePosition) {
  runner::ReportTally tally;
  for (const char* line :
       {"\r2 frame=7 --- Blocks=100", "\r3 frame=8 --- Blocks=81", "\r2 frame=12 --- Blocks=90",
        "\r0 frame=-5 --- Blocks=90", "\r-2 frame=-7 --- Blocks=90", "some other output",
        "\r2 frame=7 --- Blocks=100 and more", "2 frame=7 --- Blocks=100"}) {
    tally.Count(line);
  }
  EXPECT_EQ(tally.reported, 5);
  EXPECT_EQ(tally.Describe(), "5 reported (by cycle position 0:1 1:0 2:2 3:1 4:0)");
  // Every report is kept as it came, out-of-range positions included.
  const std::vector<runner::FrameReport> kept = {
      {7, 2, 100}, {8, 3, 81}, {12, 2, 90}, {-5, 0, 90}, {-7, -2, 90}};
  EXPECT_EQ(tally.reports, kept);
}

}  // namespace
}  // namespace vorlith::testing
