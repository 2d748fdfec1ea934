#include "frame/module.h"

#include <dlfcn.h>

namespace outlina {
namespace {

void *instanceHandle = nullptr;

// Runs when the shared object is loaded, as the module entry does at process attach.
__attribute__((constructor)) void attachModule() {
  Dl_info info{};
  void *base = dladdr(reinterpret_cast<void *>(&attachModule), &info) != 0 ? info.dli_fbase
                                                                           : nullptr;
  moduleEntry(base, kProcessAttach, nullptr);
}

}  // namespace

int32_t moduleEntry(void *instance, uint32_t reason, void *) {
  switch (reason) {
    case kProcessAttach:
      instanceHandle = instance;
      return 1;
    case kProcessDetach:
      return 1;
    default:
      return 0;
  }
}

void *moduleInstance() { return instanceHandle; }

}  // namespace outlina
