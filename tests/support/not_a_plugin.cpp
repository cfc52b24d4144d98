// A loadable library without the plugin entry point, for the loader's error.
#include "plugin_interface.h"

FRAMESERVER_PLUGIN_ENTRY int NotAPluginEntry() { return 0; }
