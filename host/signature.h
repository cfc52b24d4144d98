// A script function's parameter signature and the binding of a call's
// arguments to it. A signature is a sequence of type letters, c (clip),
// i (int), b (bool), f (float; an int is taken too) and s (string), each
// optionally preceded by a bracketed name, which makes the parameter
// optional and lets a call give it by that name: "c[th]i[show]b".
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "plugin_interface.h"

namespace vorlith::host {

struct Parameter {
  std::string name;  // empty for a parameter given by position only
  char type;
  bool optional() const { return !name.empty(); }
};

// Throws std::invalid_argument naming the fault for a malformed signature.
std::vector<Parameter> ParseSignature(std::string_view signature);

// "int", "bool", ... for a type letter; "clip" for 'c'.
std::string_view TypeName(char type);
std::string_view TypeName(AVSValue::Type type);

// Whether `value` may be given for a parameter of type letter `type`.
bool FitsType(const AVSValue& value, char type);

struct Argument {
  std::string name;  // empty for an argument given by position
  AVSValue value;
};

// One value per parameter, in signature order, an omitted optional parameter
// holding no value. Positional arguments fill the parameters from the first
// on; named ones (names compare without regard to case) fill their optional
// parameter. A call that does not fit gets a ScriptError naming the function
// and the problem: too many arguments, an unknown or repeated name, a value
// of the wrong type, or a missing required argument.
std::vector<AVSValue> BindArguments(std::string_view function,
                                    const std::vector<Parameter>& parameters,
                                    std::span<const Argument> arguments);

bool SameName(std::string_view a, std::string_view b);

}  // namespace vorlith::host
