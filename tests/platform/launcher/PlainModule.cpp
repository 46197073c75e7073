// A shared module that is not an application: it exports no NewApplication().
extern "C" __attribute__((visibility("default"))) int LauncherPlainModuleValue() { return 7; }
