// framehost's --stats and --plot: where the files go, standard output, and
// that a failed run leaves earlier ones as they were.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framehost_fixture.h"
#include "run_process.h"

namespace vorlith::testing {
namespace {

TEST_F(Framehost, StatsGoBesideTheNameGivenWithEitherExtensionOrToStandardOutput) {
  const std::string clip = ExampleClip(10);
  for (const std::string name : {"a", "b.json", "c.csv"}) {
    const ProcessResult run = Framehost_({"--quiet", clip, "--stats", Path(name)});
    ASSERT_EQ(run.exit_status, 0) << run.err;
  }
  EXPECT_EQ(DirectoryNames(), (std::vector<std::string>{"a.csv", "a.json", "b.csv", "b.json",
                                                        "c.csv", "c.json", "example.y4m"}));
  EXPECT_EQ(ReadFile(Path("a.csv")),
            "frame,cycle_position,blocks,percent\n2,2,444,8.36\n3,3,444,8.36\n7,2,444,8.36\n"
            "8,3,444,8.36\n");

  const ProcessResult to_stdout = Framehost_({"--quiet", clip, "--stats", "-"});
  ASSERT_EQ(to_stdout.exit_status, 0) << to_stdout.err;
  EXPECT_EQ(to_stdout.out, ReadFile(Path("a.json")));
  EXPECT_NE(to_stdout.out.find("\"segments\": [\n    {\"first\": 0, \"last\": 9, \"kind\": "
                               "\"telecine\", \"positions\": [2, 3]}\n  ]"),
            std::string::npos)
      << to_stdout.out;
}

TEST_F(Framehost, RefusesOutputsThatWouldCollide) {
  const std::string clip = ExampleClip(2);
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"-o", "-", "--stats", "-"},
       "only one of -o, --stats and --plot can write to standard output (-)"},
      {{"-o", Path("x.json"), "--stats", Path("x")}, Path("x.json") + " is named for two outputs"},
      {{"--stats", clip.substr(0, clip.size() - 4) + ".json", "--plot", clip},
       clip + ": is the input; refusing to write over it"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{clip};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ProcessResult run = Framehost_(args);
    EXPECT_NE(run.exit_status, 0);
    EXPECT_EQ(Lines(run.err).front(), "framehost: " + c.message);
  }
  EXPECT_EQ(DirectoryNames(), (std::vector<std::string>{"example.y4m"}));
}

TEST_F(Framehost, AFailedRunLeavesEarlierStatsAndPlotAsTheyWere) {
  const std::string bytes = ReadFile(ExampleClip(3));
  WriteFile(Path("cut.y4m"), bytes.substr(0, bytes.size() - 10));
  for (const std::string name : {"run.csv", "run.json", "run.svg"}) WriteFile(Path(name), name);
  const ProcessResult run =
      Framehost_({Path("cut.y4m"), "--stats", Path("run"), "--plot", Path("run.svg")});
  EXPECT_EQ(run.exit_status, 1);
  for (const std::string name : {"run.csv", "run.json", "run.svg"}) {
    EXPECT_EQ(ReadFile(Path(name)), name);
  }
  EXPECT_EQ(DirectoryNames(),
            (std::vector<std::string>{"cut.y4m", "example.y4m", "run.csv", "run.json", "run.svg"}));
}

}  // namespace
}  // namespace vorlith::testing
