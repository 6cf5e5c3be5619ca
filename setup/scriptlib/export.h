#pragma once
// setup.exe exports the script reader, the registry store and the system
// function holder under their class names, for the companion libraries.
// A module that links these classes from setup.exe defines SCRIPTLIB_IMPORT.
#ifdef SCRIPTLIB_IMPORT
#define SCRIPTLIB_API __declspec(dllimport)
#else
#define SCRIPTLIB_API __declspec(dllexport)
#endif
