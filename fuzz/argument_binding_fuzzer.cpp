// Fuzzes the binding of a call's arguments to a registered signature. The
// input's first line is the signature; the rest, split at spaces and line
// feeds, is what a command line gives: NAME=VALUE words, typed by the
// signature as framehost types them, after the clip given by position.
// Every input ends in a clear error (a malformed signature, a usage error,
// a script error) or in one bound value per parameter, each of its
// parameter's type or, for an omitted optional one, holding nothing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "command_line.h"
#include "script_arguments.h"
#include "script_error.h"
#include "signature.h"

namespace {

// A clip value for the positional argument; binding looks at types only.
class EmptyClip : public GenericVideoFilter {
 public:
  EmptyClip() : GenericVideoFilter(PClip()) {}
};

// What a bound value must hold: what the call may give, except that an int
// given for a float arrives as a float.
bool HoldsType(const AVSValue& value, char type) {
  return type == 'f' ? value.type() == AVSValue::Type::kFloat
                     : vorlith::host::FitsType(value, type);
}

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlith;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::size_t line_end = text.find('\n');
  const std::string signature = text.substr(0, line_end);

  std::vector<host::Parameter> parameters;
  try {
    parameters = host::ParseSignature(signature);
  } catch (const std::invalid_argument&) {
    return 0;
  }

  std::vector<runner::ScriptArgument> words;
  if (line_end != std::string::npos) {
    std::size_t at = line_end + 1;
    while (at <= text.size()) {
      const std::size_t end = std::min(text.find_first_of(" \n", at), text.size());
      const std::string word = text.substr(at, end - at);
      const std::size_t equals = word.find('=');
      if (equals != std::string::npos && equals > 0) {
        words.push_back({word.substr(0, equals), word.substr(equals + 1)});
      }
      at = end + 1;
    }
  }

  const PClip clip(new EmptyClip);
  std::vector<host::Argument> call{{"", AVSValue(clip)}};
  std::vector<AVSValue> bound;
  try {
    const std::vector<host::Argument> named = runner::TypeScriptArguments("F", parameters, words);
    call.insert(call.end(), named.begin(), named.end());
    bound = host::BindArguments("F", parameters, call);
  } catch (const runner::UsageError&) {
    return 0;
  } catch (const host::ScriptError&) {
    return 0;
  }

  if (bound.size() != parameters.size()) Fail("one value per parameter expected");
  for (std::size_t p = 0; p < parameters.size(); ++p) {
    const bool omitted = !bound[p].Defined();
    if (omitted && !parameters[p].optional()) Fail("a required parameter was left out");
    if (!omitted && !HoldsType(bound[p], parameters[p].type)) {
      Fail("parameter " + std::to_string(p) + " holds a value of another type");
    }
  }
  return 0;
}
