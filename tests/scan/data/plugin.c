/* The entry points that mark a VST2 plug-in, and a helper that is not one. */
#ifdef _WIN32
#define EXPORT __declspec(dllexport)
#define WEAK
#else
#define EXPORT __attribute__((visibility("default")))
#define WEAK __attribute__((weak))
#endif

EXPORT void* VSTPluginMain(void* host) { return host; }
EXPORT int main(void) { return 0; }
EXPORT WEAK int weakHook(void) { return 1; }
static int hidden(void) { return 2; }
__attribute__((visibility("hidden"))) int internalHelper(void) { return hidden(); }
