// The library's one exported symbol: registers Vorlith with the host.
#include "plugin_interface.h"
#include "vorlith_filter.h"

FRAMESERVER_PLUGIN_ENTRY const char* FRAMESERVER_STDCALL
AvisynthPluginInit2(IScriptEnvironment* env) {
  env->AddFunction("Vorlith", "c[th]i[show]b", CreateVorlith, nullptr);
  return "`Vorlith' Vorlith plugin";
}
