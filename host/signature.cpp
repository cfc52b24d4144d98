#include "signature.h"

#include <cctype>
#include <stdexcept>

#include "script_error.h"

namespace vorlith::host {
namespace {

bool IsTypeLetter(char c) { return c == 'c' || c == 'i' || c == 'b' || c == 'f' || c == 's'; }

std::string Describe(const Parameter& parameter, std::size_t index) {
  return parameter.optional() ? parameter.name : "argument " + std::to_string(index + 1);
}

// "th (int), show (bool)": what a call may give by name.
std::string NamedParameters(const std::vector<Parameter>& parameters) {
  std::string list;
  for (const Parameter& parameter : parameters) {
    if (!parameter.optional()) continue;
    if (!list.empty()) list += ", ";
    list += parameter.name + " (" + std::string(TypeName(parameter.type)) + ")";
  }
  return list.empty() ? "none" : list;
}

}  // namespace

bool FitsType(const AVSValue& value, char type) {
  switch (type) {
    case 'c':
      return value.IsClip();
    case 'i':
      return value.IsInt();
    case 'b':
      return value.IsBool();
    case 'f':
      return value.IsFloat();
    case 's':
      return value.IsString();
  }
  return false;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::vector<Parameter> ParseSignature(std::string_view signature) {
  std::vector<Parameter> parameters;
  for (std::size_t i = 0; i < signature.size();) {
    Parameter parameter{};
    if (signature[i] == '[') {
      const std::size_t close = signature.find(']', i);
      if (close == std::string_view::npos) {
        throw std::invalid_argument("unclosed '[' at offset " + std::to_string(i));
      }
      parameter.name = std::string(signature.substr(i + 1, close - i - 1));
      if (parameter.name.empty()) {
        throw std::invalid_argument("empty name at offset " + std::to_string(i));
      }
      for (const Parameter& earlier : parameters) {
        if (SameName(earlier.name, parameter.name)) {
          throw std::invalid_argument("name '" + parameter.name + "' appears twice");
        }
      }
      i = close + 1;
    }
    if (i >= signature.size() || !IsTypeLetter(signature[i])) {
      throw std::invalid_argument("expected a type letter (c, i, b, f or s) at offset " +
                                  std::to_string(i));
    }
    parameter.type = signature[i++];
    parameters.push_back(std::move(parameter));
  }
  return parameters;
}

std::string_view TypeName(char type) {
  switch (type) {
    case 'c':
      return "clip";
    case 'i':
      return "int";
    case 'b':
      return "bool";
    case 'f':
      return "float";
    case 's':
      return "string";
  }
  return "unknown";
}

std::string_view TypeName(AVSValue::Type type) {
  switch (type) {
    case AVSValue::Type::kVoid:
      return "nothing";
    case AVSValue::Type::kClip:
      return "clip";
    case AVSValue::Type::kBool:
      return "bool";
    case AVSValue::Type::kInt:
      return "int";
    case AVSValue::Type::kFloat:
      return "float";
    case AVSValue::Type::kString:
      return "string";
    case AVSValue::Type::kArray:
      return "array";
  }
  return "unknown";
}

std::vector<AVSValue> BindArguments(std::string_view function,
                                    const std::vector<Parameter>& parameters,
                                    std::span<const Argument> arguments) {
  const std::string prefix = std::string(function) + ": ";
  std::vector<AVSValue> bound(parameters.size());
  std::vector<bool> given(parameters.size(), false);
  std::size_t next_positional = 0;

  for (const Argument& argument : arguments) {
    std::size_t index = 0;
    if (argument.name.empty()) {
      if (next_positional >= parameters.size()) {
        throw ScriptError(prefix + "too many arguments (it takes " +
                          std::to_string(parameters.size()) + ")");
      }
      index = next_positional++;
    } else {
      index = parameters.size();
      for (std::size_t p = 0; p < parameters.size(); ++p) {
        if (parameters[p].optional() && SameName(parameters[p].name, argument.name)) index = p;
      }
      if (index == parameters.size()) {
        throw ScriptError(prefix + "no argument named '" + argument.name +
                          "' (named arguments: " + NamedParameters(parameters) + ")");
      }
    }
    const Parameter& parameter = parameters[index];
    if (given[index]) throw ScriptError(prefix + Describe(parameter, index) + " given twice");
    if (!FitsType(argument.value, parameter.type)) {
      throw ScriptError(prefix + Describe(parameter, index) + " must be " +
                        std::string(TypeName(parameter.type)) + ", not " +
                        std::string(TypeName(argument.value.type())));
    }
    given[index] = true;
    // An int given for a float parameter arrives as a float.
    bound[index] = parameter.type == 'f' ? AVSValue(argument.value.AsFloat(0)) : argument.value;
  }

  for (std::size_t p = 0; p < parameters.size(); ++p) {
    if (!given[p] && !parameters[p].optional()) {
      throw ScriptError(prefix + "needs a " + std::string(TypeName(parameters[p].type)) + " as " +
                        Describe(parameters[p], p));
    }
  }
  return bound;
}

}  // namespace vorlith::host
