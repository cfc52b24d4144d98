// A loadable library without the plugin entry point, for the loader's error.
extern "C" __attribute__((visibility("default"))) int NotAPluginEntry() { return 0; }
