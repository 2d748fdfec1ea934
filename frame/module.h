// The module entry: records where this library was loaded from, for the dialog layer.
#ifndef OUTLINA_FRAME_MODULE_H
#define OUTLINA_FRAME_MODULE_H

#include <cstdint>

namespace outlina {

enum ModuleReason : uint32_t { kProcessDetach = 0, kProcessAttach = 1 };

// 1 for attach (the handle is stored) and detach; 0 for any other reason.
int32_t moduleEntry(void *instance, uint32_t reason, void *reserved);

// The handle stored at attach: the base address of the loaded library.
void *moduleInstance();

}  // namespace outlina

#endif
