// The host's script environment: the function registry, calls by name with
// argument binding, script errors, processor flags and frames.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "frame_pool.h"
#include "plugin_interface.h"
#include "signature.h"

namespace vorlith::host {

struct RegisteredFunction {
  std::string name;
  std::string signature;
  std::vector<Parameter> parameters;
  ApplyFunc apply;
  void* user_data;
};

class Environment : public IScriptEnvironment {
 public:
  // Processor flags read from this processor.
  Environment();
  // Processor flags as given, for a host that must pretend.
  explicit Environment(long cpu_flags);

  long GetCPUFlags() override;
  // Throws ScriptError for a signature that cannot be parsed.
  void AddFunction(const char* name, const char* params, ApplyFunc apply, void* user_data) override;
  [[noreturn]] void ThrowError(const char* format, ...) override;
  bool MakeWritable(PVideoFrame* frame) override;

  // The function registered last under `name` (compared without regard to
  // case), or null.
  const RegisteredFunction* FindFunction(std::string_view name) const;
  const std::vector<RegisteredFunction>& functions() const { return functions_; }

  // Calls a registered function with the arguments bound to its signature.
  // An unknown function or a call that does not fit gets a ScriptError.
  AVSValue Invoke(std::string_view name, std::span<const Argument> arguments);

  FramePool& frames() { return frames_; }

 private:
  long cpu_flags_;
  std::vector<RegisteredFunction> functions_;
  FramePool frames_;
};

}  // namespace vorlith::host
