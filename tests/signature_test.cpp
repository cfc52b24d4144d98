// Binding a call's arguments to a registered signature, and its errors.
#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "environment.h"
#include "script_error.h"
#include "signature.h"

namespace vorlith::testing {
namespace {

using host::Argument;

// A clip value without a real clip behind it is not needed: binding only
// looks at types, so any IClip-typed value will do.
class NullClip : public GenericVideoFilter {
 public:
  NullClip() : GenericVideoFilter(PClip()) {}
};

TEST(ParseSignature, ReadsNamesAndTypes) {
  const std::vector<host::Parameter> parameters =
      host::ParseSignature("c[th]i[show]b[gain]f[tag]s");
  ASSERT_EQ(parameters.size(), 5u);
  EXPECT_EQ(parameters[0].name, "");
  EXPECT_EQ(parameters[0].type, 'c');
  EXPECT_EQ(parameters[1].name, "th");
  EXPECT_EQ(parameters[1].type, 'i');
  EXPECT_EQ(parameters[4].name, "tag");
  EXPECT_EQ(parameters[4].type, 's');
}

TEST(ParseSignature, RefusesMalformedSignatures) {
  for (const char* malformed : {"c[th", "c[]i", "c[th]", "x", "c[th]i[TH]b", "c[th]]"}) {
    EXPECT_THROW(host::ParseSignature(malformed), std::invalid_argument) << malformed;
  }
}

struct BindCase {
  const char* name;
  std::vector<Argument> arguments;
  std::string error;  // empty when the call fits
};

void PrintTo(const BindCase& c, std::ostream* os) { *os << c.name; }

class BindArguments : public ::testing::TestWithParam<BindCase> {};

TEST_P(BindArguments, FitsOrNamesTheProblem) {
  const std::vector<host::Parameter> parameters = host::ParseSignature("c[th]i[show]b[gain]f");
  const BindCase& c = GetParam();
  try {
    const std::vector<AVSValue> bound = host::BindArguments("Vorlith", parameters, c.arguments);
    EXPECT_EQ(c.error, "");
    EXPECT_EQ(bound.size(), parameters.size());
  } catch (const host::ScriptError& error) {
    EXPECT_EQ(std::string(error.what()), c.error);
  }
}

const AVSValue kClip(new NullClip);

INSTANTIATE_TEST_SUITE_P(
    Table, BindArguments,
    ::testing::Values(
        BindCase{"clip_alone", {{"", kClip}}, ""},
        BindCase{"named_in_any_order_and_case",
                 {{"", kClip}, {"SHOW", AVSValue(true)}, {"th", AVSValue(3)}},
                 ""},
        BindCase{
            "positional_optionals", {{"", kClip}, {"", AVSValue(3)}, {"", AVSValue(true)}}, ""},
        BindCase{"int_for_float", {{"", kClip}, {"gain", AVSValue(2)}}, ""},
        BindCase{"missing_clip", {{"th", AVSValue(3)}}, "Vorlith: needs a clip as argument 1"},
        BindCase{"wrong_type_for_clip",
                 {{"", AVSValue(3)}},
                 "Vorlith: argument 1 must be clip, not int"},
        BindCase{"unknown_name",
                 {{"", kClip}, {"threshold", AVSValue(3)}},
                 "Vorlith: no argument named 'threshold' (named arguments: th (int), show (bool), "
                 "gain (float))"},
        BindCase{"wrong_type",
                 {{"", kClip}, {"th", AVSValue(2.5)}},
                 "Vorlith: th must be int, not float"},
        BindCase{"bool_for_int",
                 {{"", kClip}, {"th", AVSValue(true)}},
                 "Vorlith: th must be int, not bool"},
        BindCase{"given_twice",
                 {{"", kClip}, {"", AVSValue(3)}, {"th", AVSValue(4)}},
                 "Vorlith: th given twice"},
        BindCase{"too_many",
                 {{"", kClip},
                  {"", AVSValue(3)},
                  {"", AVSValue(true)},
                  {"", AVSValue(1.0)},
                  {"", AVSValue(1)}},
                 "Vorlith: too many arguments (it takes 4)"}),
    [](const ::testing::TestParamInfo<BindCase>& info) { return info.param.name; });

AVSValue EchoArguments(AVSValue args, void*, IScriptEnvironment*) {
  // Element count, then which elements hold a value.
  int shape = args.ArraySize();
  for (int i = 0; i < args.ArraySize(); ++i) shape = shape * 10 + (args[i].Defined() ? 1 : 0);
  return AVSValue(shape);
}

TEST(Invoke, HandsOneElementPerParameterAndNamesUnknownFunctions) {
  host::Environment env(0);
  env.AddFunction("Echo", "c[th]i[show]b", EchoArguments, nullptr);
  const std::vector<Argument> show_only{{"", kClip}, {"show", AVSValue(false)}};
  EXPECT_EQ(env.Invoke("echo", show_only).AsInt(0), 3101);
  EXPECT_THROW(
      {
        try {
          env.Invoke("Missing", show_only);
        } catch (const host::ScriptError& error) {
          EXPECT_STREQ(error.what(), "there is no function named 'Missing'");
          throw;
        }
      },
      host::ScriptError);
  EXPECT_THROW(env.AddFunction("Bad", "c[th", EchoArguments, nullptr), host::ScriptError);
}

}  // namespace
}  // namespace vorlith::testing
