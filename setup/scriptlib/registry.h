#pragma once
// CRegistry: static registry operations that setup.exe exports for other
// modules: string and DWORD values, recursive key deletion (granting Everyone
// full control of a key whose deletion is refused, then retrying once),
// removal of parents left empty, key copies, and saving a key tree to a text
// file (one section per key, written and read through CProfile) and loading
// it back.
//
// Results are Win32 error numbers: 0 success, 87 bad argument, 122 buffer too
// small, 50 security functions missing, otherwise the failing call's code.
// Nothing throws. Names and composed key paths are limited to 259 characters
// (87 beyond), value data to 4096 bytes.
//
// Saved file, one section per key in pre-order:
//   [HKEY_LOCAL_MACHINE\Software\Vendor\Key]
//   "Name"="text"          REG_SZ
//   "Count"=dword:0000000a REG_DWORD
//   "Blob"=hex:            REG_BINARY, the name only; loading writes nothing
// Keys of HKEY_USERS (which has no name here) are saved under "\path", which
// loading refuses: such a file is not meant to be loaded back.
#include <windows.h>

#include "setup/scriptlib/export.h"

class SCRIPTLIB_API CRegistry {
 public:
  static constexpr unsigned long kNoSizeCheck = 0xFFFFFFFF;
  static constexpr unsigned long kNameSize = 260;   // a name or key path with its NUL
  static constexpr unsigned long kDataSize = 4096;  // value data

  CRegistry();
  CRegistry(const CRegistry&);
  CRegistry& operator=(const CRegistry&);
  virtual ~CRegistry();

  // Copies a REG_SZ value; size kNoSizeCheck skips the size check. A buffer
  // smaller than the stored size, or than the text and its NUL, gives 122 and
  // is left untouched.
  static unsigned long GetValue(const char* subkey, const char* name, char* buffer, HKEY root, unsigned long size);
  // Writes REG_SZ without the terminating NUL; an empty text is an empty value.
  static unsigned long SetValue(const char* subkey, const char* name, const char* text, HKEY root);
  static unsigned long GetValue(const char* subkey, const char* name, unsigned long* value, HKEY root,
                                unsigned long unused);
  static unsigned long SetValue(const char* subkey, const char* name, unsigned long value, HKEY root);
  // single true: this key only (it must have no subkeys). single false: the
  // whole tree, then every parent left empty up to, never including, a
  // top-level key such as "Software".
  static unsigned long DeleteKey(const char* subkey, bool single, HKEY root);
  static unsigned long DeleteValue(const char* subkey, const char* name, HKEY root);
  // Copies the string and DWORD values (and, recursive, the subkeys first).
  // A destination key comes into being only through the values written to it.
  static unsigned long CopyKey(const char* source, const char* destination, bool recursive, HKEY sourceRoot,
                               HKEY destinationRoot);
  // Never overwrites a file: an existing one gives the system's error (80).
  static unsigned long SaveToFile(const char* subkey, const char* file, HKEY root);
  // The result is that of the last section loaded.
  static unsigned long LoadFromFile(const char* file);

 protected:
  static unsigned long DeleteSubKey(const char* subkey, HKEY root);
  static unsigned long DeleteEmptyParent(const char* subkey, HKEY root);
  static unsigned long SetDaclPermission(const char* subkey, HKEY root);
  static unsigned long CopyValue(HKEY source, unsigned long count, const char* destination, HKEY destinationRoot);
};
