#include "framework/module.h"

// Provided by the linker for every PE image: the image's own base address.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace fw {

HINSTANCE CodeModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

}  // namespace fw
