#pragma once
// setup.exe exports the script reader, the registry store and the system
// function holder under their class names, for the companion libraries.
#define SCRIPTLIB_API __declspec(dllexport)
