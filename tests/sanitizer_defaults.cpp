// Linked into every test program: what the leak checker may pass over.
// The system font library keeps caches until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
