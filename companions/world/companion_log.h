#pragma once
// What the companion libraries do is traced through the project's trace sink
// (OutputDebugStringA, and the file named by QX_TRACE_FILE), one line per
// action, each beginning with the library's tag in brackets: "[qxexec] ...".
// Secrets never appear: callers pass them through MaskSecret.
namespace qx::world {

void Log(const char* library, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace qx::world
