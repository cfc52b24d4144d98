#include "environment.h"

#include <cstdarg>
#include <cstdio>
#include <stdexcept>

#include "cpu_flags.h"
#include "script_error.h"

namespace vorlith::host {

Environment::Environment() : Environment(ReadProcessorFlags()) {}
Environment::Environment(long cpu_flags) : cpu_flags_(cpu_flags) {}

long Environment::GetCPUFlags() { return cpu_flags_; }

void Environment::AddFunction(const char* name, const char* params, ApplyFunc apply,
                              void* user_data) {
  if (name == nullptr || *name == '\0' || params == nullptr || apply == nullptr) {
    throw ScriptError("AddFunction: a function needs a name, a signature and a create function");
  }
  try {
    functions_.push_back({name, params, ParseSignature(params), apply, user_data});
  } catch (const std::invalid_argument& fault) {
    throw ScriptError(std::string("AddFunction: the signature \"") + params + "\" of " + name +
                      " is malformed: " + fault.what());
  }
}

void Environment::ThrowError(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  std::va_list measuring;
  va_copy(measuring, arguments);
  const int length = std::vsnprintf(nullptr, 0, format, measuring);
  va_end(measuring);
  std::string message(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
  if (length > 0) std::vsnprintf(message.data(), message.size() + 1, format, arguments);
  va_end(arguments);
  throw ScriptError(message);
}

bool Environment::MakeWritable(PVideoFrame* frame) {
  if (frame == nullptr || !*frame || (*frame)->IsWritable()) return false;
  *frame = frames_.CopyOf(*frame->get());
  return true;
}

const RegisteredFunction* Environment::FindFunction(std::string_view name) const {
  for (auto it = functions_.rbegin(); it != functions_.rend(); ++it) {
    if (SameName(it->name, name)) return &*it;
  }
  return nullptr;
}

AVSValue Environment::Invoke(std::string_view name, std::span<const Argument> arguments) {
  const RegisteredFunction* function = FindFunction(name);
  if (function == nullptr) {
    throw ScriptError("there is no function named '" + std::string(name) + "'");
  }
  // The create function sees one array element per parameter; the array
  // refers to `bound`, which lives until the call returns.
  const std::vector<AVSValue> bound =
      BindArguments(function->name, function->parameters, arguments);
  return function->apply(AVSValue(bound.data(), static_cast<int>(bound.size())),
                         function->user_data, this);
}

}  // namespace vorlith::host
