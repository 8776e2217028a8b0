// A run-time package for the package loader's test: registering its
// classes leaves a mark the test can see.
#include <cstdlib>

extern "C" __attribute__((visibility("default"))) void KestxRegisterClasses() {
  setenv("KESTX_SAMPLE_PACKAGE_REGISTERED", "1", 1);
}
