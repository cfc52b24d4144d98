#include "script_arguments.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace vorlith::runner {
namespace {

std::string Accepted(const std::string& function, const std::vector<host::Parameter>& parameters) {
  std::string list;
  for (const host::Parameter& parameter : parameters) {
    if (!parameter.optional() || parameter.type == 'c') continue;
    list += list.empty() ? "" : ", ";
    list += parameter.name + "=" + std::string(host::TypeName(parameter.type));
  }
  return function + " takes " + (list.empty() ? "no NAME=VALUE arguments" : list);
}

bool ParseInt(const std::string& text, int* value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long parsed = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) return false;
  *value = static_cast<int>(parsed);
  return true;
}

bool ParseFloat(const std::string& text, double* value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  return *end == '\0' && errno != ERANGE;
}

}  // namespace

std::vector<host::Argument> TypeScriptArguments(const std::string& function,
                                                const std::vector<host::Parameter>& parameters,
                                                const std::vector<ScriptArgument>& arguments) {
  std::vector<host::Argument> typed;
  for (const ScriptArgument& argument : arguments) {
    const host::Parameter* parameter = nullptr;
    for (const host::Parameter& candidate : parameters) {
      if (candidate.optional() && host::SameName(candidate.name, argument.name)) {
        parameter = &candidate;
      }
    }
    if (parameter == nullptr || parameter->type == 'c') {
      throw UsageError("unknown argument " + argument.name + "; " + Accepted(function, parameters));
    }
    for (const host::Argument& earlier : typed) {
      if (earlier.name == parameter->name) throw UsageError(argument.name + " given twice");
    }
    const std::string wrong = argument.name + "=" + argument.value + " is not a valid " +
                              std::string(host::TypeName(parameter->type)) + "; " +
                              Accepted(function, parameters);
    AVSValue value;
    switch (parameter->type) {
      case 'i': {
        int number = 0;
        if (!ParseInt(argument.value, &number)) throw UsageError(wrong);
        value = AVSValue(number);
        break;
      }
      case 'b':
        // Like names, the words true and false are taken in any case.
        if (!host::SameName(argument.value, "true") && !host::SameName(argument.value, "false")) {
          throw UsageError(wrong);
        }
        value = AVSValue(host::SameName(argument.value, "true"));
        break;
      case 'f': {
        double number = 0;
        if (!ParseFloat(argument.value, &number)) throw UsageError(wrong);
        value = AVSValue(number);
        break;
      }
      default:
        value = AVSValue(argument.value.c_str());
        break;
    }
    typed.push_back({parameter->name, value});
  }
  return typed;
}

}  // namespace vorlith::runner
