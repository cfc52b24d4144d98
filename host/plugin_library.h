// Loading a plugin library into an environment.
#pragma once

#include <string>

#include "environment.h"

namespace vorlith::host {

// The name under which a library exports its entry point AvisynthPluginInit2:
// on 32-bit Windows decorated as a stdcall function with one 4-byte argument.
#if defined(_WIN32)
inline constexpr const char* kPluginEntryName = "_AvisynthPluginInit2@4";
#else
inline constexpr const char* kPluginEntryName = "AvisynthPluginInit2";
#endif

// Loads the library at `path`, finds its entry point kPluginEntryName and
// calls it with `env`; returns the description the plugin gives. A library
// stays loaded for the rest of the process: the functions it registered and
// the clips it made may outlive the environment. Throws PluginLoadError
// naming the path when the library cannot be loaded or has no entry point.
std::string LoadPlugin(Environment& env, const std::string& path);

}  // namespace vorlith::host
