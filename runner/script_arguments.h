// NAME=VALUE words of the command line turned into a script call's named
// arguments, typed by the signature the plugin registered.
#pragma once

#include <vector>

#include "command_line.h"
#include "signature.h"

namespace vorlith::runner {

// Integers for i parameters, true or false for b, numbers for f, any text
// for s. Throws UsageError naming the argument and listing the accepted
// names and types for an unknown name or a value of the wrong type. The
// returned string arguments refer to `arguments`, which must outlive them.
std::vector<host::Argument> TypeScriptArguments(const std::string& function,
                                                const std::vector<host::Parameter>& parameters,
                                                const std::vector<ScriptArgument>& arguments);

}  // namespace vorlith::runner
