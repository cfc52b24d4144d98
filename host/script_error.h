// The host's errors. A script error is what IScriptEnvironment::ThrowError
// raises and what a call that does not fit its function's signature gives;
// it carries one line of text for the user.
#pragma once

#include <stdexcept>
#include <string>

namespace vorlith::host {

class ScriptError : public std::runtime_error {
 public:
  explicit ScriptError(const std::string& message) : std::runtime_error(message) {}
};

// A library that cannot be loaded as a plugin.
class PluginLoadError : public std::runtime_error {
 public:
  explicit PluginLoadError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vorlith::host
