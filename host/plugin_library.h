// Loading a plugin library into an environment.
#pragma once

#include <string>

#include "environment.h"

namespace vorlith::host {

// Loads the library at `path`, finds its AvisynthPluginInit2 entry point and
// calls it with `env`; returns the description the plugin gives. A library
// stays loaded for the rest of the process: the functions it registered and
// the clips it made may outlive the environment. Throws PluginLoadError
// naming the path when the library cannot be loaded or has no entry point.
std::string LoadPlugin(Environment& env, const std::string& path);

}  // namespace vorlith::host
