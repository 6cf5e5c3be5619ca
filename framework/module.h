#pragma once
// The module that holds the framework code (the program, or a library linking
// it): window classes are registered and dialogs created for this module.
#include <windows.h>

namespace fw {

HINSTANCE CodeModule();

}  // namespace fw
