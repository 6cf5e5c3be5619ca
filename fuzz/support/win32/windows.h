#pragma once
// The native fuzz build's stand-in for <windows.h>: only the Win32 types and
// constants that the plain parsers name in their headers, with the widths they
// have on 32-bit Windows, and the C runtime's two case-blind comparisons. No
// Win32 function is declared here: a parser that calls one gets a seam in the
// tree instead (see fuzz/README.md). The Windows build never sees this file.
#include <strings.h>

#include <cstdint>

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = unsigned int;
using LONG = int32_t;
using BOOL = int;
using LANGID = WORD;
using COLORREF = DWORD;
using INT_PTR = intptr_t;
using UINT_PTR = uintptr_t;
using LPCSTR = const char*;

struct HKEY__;
using HKEY = HKEY__*;
struct HWND__;
using HWND = HWND__*;

struct SIZE {
  LONG cx, cy;
};
struct POINT {
  LONG x, y;
};
struct RECT {
  LONG left, top, right, bottom;
};

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000002u)))
#define HKEY_USERS (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000003u)))
#define HKEY_PERFORMANCE_DATA (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000004u)))
#define HKEY_CURRENT_CONFIG (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000005u)))
#define HKEY_DYN_DATA (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000006u)))

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2

#define MAX_PATH 260

inline int _stricmp(const char* a, const char* b) { return strcasecmp(a, b); }
inline int _strnicmp(const char* a, const char* b, size_t n) { return strncasecmp(a, b, n); }
