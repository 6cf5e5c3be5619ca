// CUtl: registry readers and writers, key copy and deletion, key permissions.
#include <cstring>
#include <vector>

#include "framework/handles.h"
#include "setup/core/core_context.h"
#include "setup/core/utl.h"
#include "setup/scriptlib/api_function.h"

namespace {
constexpr DWORD kNameSize = 260;
constexpr DWORD kDataSize = 4096;
// A key whose subkeys cannot all be removed is given this many failed
// enumeration attempts before the walk gives up.
constexpr int kMaxEnumerationFailures = 20;

bool Empty(const char* s) { return !s || !*s; }

// Queries a value of up to kDataSize bytes; REG_SZ data is NUL-terminated
// even when stored without it (the buffer has one byte more for that).
LONG QueryValue(HKEY key, const char* name, DWORD* type, std::vector<char>* data) {
  data->assign(kDataSize + 1, '\0');
  DWORD size = kDataSize;
  LONG result = RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(data->data()), &size);
  if (result == ERROR_SUCCESS && size <= kDataSize) (*data)[size] = '\0';
  return result;
}

// Whether the value exists at all, whatever its type and content. Asking for
// it with a sentinel default ("ERROR", 0xFFFFFFFF) would take an existing
// value holding the sentinel, or of the other type, for a new one, and the
// uninstallation would then delete a value the product never created.
bool ValueExists(HKEY key, const char* valueName) {
  return RegQueryValueExA(key, valueName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool HasSubkeysOrValues(HKEY key) {
  DWORD subkeys = 0, values = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS) {
    return true;  // unknown: leave it alone
  }
  return subkeys != 0 || values != 0;
}

// Opens or creates a key for writing; tells whether it was created.
bool CreateKey(HKEY root, const char* key, fw::UniqueRegKey* handle, bool* created) {
  DWORD disposition = 0;
  LONG result = RegCreateKeyExA(root, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ, nullptr,
                                handle->Put(), &disposition);
  if (result != ERROR_SUCCESS) {
    CUtl::TraceError(static_cast<DWORD>(result), "CUtl - Open or Create Key");
    return false;
  }
  *created = disposition == REG_CREATED_NEW_KEY;
  return true;
}

// The shared part of the two writers: create the key (recording it when
// new), write, record the value when it did not exist before. One handle
// serves the question and the write (each registry call is a round trip to
// the wineserver; an item record writes about twenty values).
template <typename Write>
bool WriteValue(HKEY root, const char* key, const char* valueName, Write write) {
  if (!root) root = HKEY_LOCAL_MACHINE;
  std::string fullName = core::FullKeyName(root, key);
  fw::UniqueRegKey handle;
  bool created = false;
  if (!CreateKey(root, key, &handle, &created)) return false;
  if (created) core::RecordHistory(fullName, core::kHistoryKey);
  bool valueIsNew = created || !ValueExists(handle.Get(), valueName);
  LONG result = write(handle.Get());
  if (result != ERROR_SUCCESS) {
    CUtl::TraceError(static_cast<DWORD>(result), "CUtl-Set value");
    return false;
  }
  if (valueIsNew) core::RecordHistory(fullName + "\\" + valueName, core::kHistoryValue);
  return true;
}
}  // namespace

bool CUtl::WriteRegistryEntry(const char* entryText) {
  core::RegistryEntry entry;
  switch (core::ParseRegistryEntry(entryText ? entryText : "", &entry)) {
    case core::EntryParse::kEmpty:
      return true;
    case core::EntryParse::kMissingKey:
    case core::EntryParse::kMissingType:
      Trace("[CUtl] Invalid registry entry (%s)\n", entryText);
      return false;
    case core::EntryParse::kOk:
      break;
  }
  if (!entry.hasData) return true;
  if (entry.isDword) {
    return SetRegDword(entry.key.c_str(), entry.valueName.c_str(), core::StringToNumber(entry.data.c_str()),
                       entry.root);
  }
  return SetRegString(entry.key.c_str(), entry.valueName.c_str(), entry.data.c_str(), entry.root);
}

std::string CUtl::GetRegString(const char* key, const char* valueName, HKEY root, const char* defaultValue) {
  std::string fallback = defaultValue ? defaultValue : "";
  if (Empty(key) || Empty(valueName)) return fallback;
  fw::UniqueRegKey handle;
  if (RegOpenKeyExA(root ? root : HKEY_LOCAL_MACHINE, key, 0, KEY_READ, handle.Put()) != ERROR_SUCCESS) {
    return fallback;
  }
  DWORD type = 0;
  std::vector<char> data;
  if (QueryValue(handle.Get(), valueName, &type, &data) != ERROR_SUCCESS || type == REG_DWORD) {
    Trace("[CUtl] Get string value in registry fail [%s]\n", valueName);
    return fallback;
  }
  return data.data();
}

DWORD CUtl::GetRegDword(const char* key, const char* valueName, HKEY root, DWORD defaultValue) {
  if (Empty(key) || Empty(valueName)) return defaultValue;
  fw::UniqueRegKey handle;
  if (RegOpenKeyExA(root ? root : HKEY_LOCAL_MACHINE, key, 0, KEY_READ, handle.Put()) != ERROR_SUCCESS) {
    return defaultValue;
  }
  DWORD type = 0, value = 0, size = sizeof(value);
  if (RegQueryValueExA(handle.Get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD) {
    Trace("[CUtl] Get Int value in registry fail [%s]\n", valueName);
    return defaultValue;
  }
  return value;
}

bool CUtl::SetRegString(const char* key, const char* valueName, const char* data, HKEY root) {
  if (Empty(key) || Empty(valueName)) return false;
  std::string text = data ? data : "";
  return WriteValue(root, key, valueName, [&](HKEY h) {
    return RegSetValueExA(h, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
  });
}

bool CUtl::SetRegDword(const char* key, const char* valueName, DWORD data, HKEY root) {
  if (Empty(key) || Empty(valueName)) return false;
  return WriteValue(root, key, valueName, [&](HKEY h) {
    return RegSetValueExA(h, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
  });
}

bool CUtl::CopyRegKey(const char* source, const char* destination, bool withSubkeys, HKEY root) {
  if (Empty(source) || Empty(destination)) return false;
  if (!root) root = HKEY_LOCAL_MACHINE;
  fw::UniqueRegKey handle;
  LONG result = RegOpenKeyExA(root, source, 0, KEY_READ, handle.Put());
  if (result != ERROR_SUCCESS) {
    TraceError(static_cast<DWORD>(result), "CUtl-OpenKey");
    return false;
  }
  DWORD subkeys = 0, values = 0;
  result = RegQueryInfoKeyA(handle.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                            nullptr, nullptr, nullptr);
  if (result != ERROR_SUCCESS) {
    TraceError(static_cast<DWORD>(result), "CUtl-RegQueryInfoKey");
    return false;
  }
  std::string from(source), to(destination);
  if (withSubkeys) {
    std::vector<char> name(kNameSize);  // heap: the recursion may run on a small stack
    for (DWORD i = 0; i < subkeys; ++i) {
      DWORD nameSize = kNameSize;
      if (RegEnumKeyExA(handle.Get(), i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        continue;
      }
      std::string child(name.data(), nameSize);
      CopyRegKey((from + "\\" + child).c_str(), (to + "\\" + child).c_str(), true, root);
    }
  }
  std::vector<char> data(kDataSize + 1);
  std::vector<char> valueName(kNameSize);
  for (DWORD i = 0; i < values; ++i) {
    DWORD nameSize = kNameSize, type = 0, dataSize = kDataSize;
    std::fill(data.begin(), data.end(), '\0');
    std::fill(valueName.begin(), valueName.end(), '\0');
    if (RegEnumValueA(handle.Get(), i, valueName.data(), &nameSize, nullptr, &type,
                      reinterpret_cast<BYTE*>(data.data()), &dataSize) != ERROR_SUCCESS) {
      continue;
    }
    if (type == REG_SZ) {
      SetRegString(destination, valueName.data(), data.data(), root);
    } else if (type == REG_DWORD) {
      DWORD value = 0;
      std::memcpy(&value, data.data(), sizeof(value));
      SetRegDword(destination, valueName.data(), value, root);
    }
  }
  return true;
}

bool CUtl::DeleteRegKey(const char* key, bool withSubtree, bool deleteEmptyParents, HKEY root) {
  if (Empty(key)) {
    Trace("[CUtl] Invalid registry key!!!");
    return false;
  }
  if (!root) root = HKEY_LOCAL_MACHINE;
  std::string path(key);
  if (withSubtree) {
    fw::UniqueRegKey handle;
    if (RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, handle.Put()) == ERROR_SUCCESS) {
      // Every subkey goes, however many there are. A subkey that cannot be
      // removed is stepped over (so the walk ends), and enumeration errors
      // are allowed a bounded number of tries.
      DWORD index = 0;
      int failures = 0;
      std::vector<char> name(kNameSize);  // heap: the recursion may run on a small stack
      while (failures < kMaxEnumerationFailures) {
        DWORD nameSize = kNameSize;
        LONG result =
            RegEnumKeyExA(handle.Get(), index, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS) {
          ++failures;
          continue;
        }
        std::string child = path + (path.back() == '\\' ? "" : "\\") + std::string(name.data(), nameSize);
        if (!DeleteRegKey(child.c_str(), true, false, root)) ++index;
      }
    }
  } else {
    fw::UniqueRegKey handle;
    if (RegOpenKeyExA(root, key, 0, KEY_READ | KEY_WRITE, handle.Put()) != ERROR_SUCCESS) return false;
    if (HasSubkeysOrValues(handle.Get())) return true;
  }

  // A trailing backslash names the same key; the parent walk needs it gone.
  std::string target = core::WithoutTrailingBackslash(path);
  LONG result = RegDeleteKeyA(root, target.c_str());
  if (result == ERROR_ACCESS_DENIED && SetKeyDaclPermission(target.c_str(), root)) {
    result = RegDeleteKeyA(root, target.c_str());
  }
  if (result != ERROR_SUCCESS) {
    TraceError(static_cast<DWORD>(result), "RegDeleteKey");
    Trace("[CUtil] %s key was not deleted!!\n", key);
    return false;
  }

  if (deleteEmptyParents) {
    // Up to, never including, a first-level key such as "Software".
    std::string parent = target;
    for (;;) {
      size_t slash = parent.rfind('\\');
      if (slash == std::string::npos) break;
      parent.resize(slash);
      if (parent.empty() || parent.find('\\') == std::string::npos) break;
      fw::UniqueRegKey handle;
      if (RegOpenKeyExA(root, parent.c_str(), 0, KEY_READ, handle.Put()) != ERROR_SUCCESS) break;
      if (HasSubkeysOrValues(handle.Get())) break;
      handle.Reset();
      if (RegDeleteKeyA(root, parent.c_str()) != ERROR_SUCCESS) break;
    }
  }
  return true;
}

bool CUtl::DeleteRegValue(const char* key, const char* valueName, HKEY root) {
  if (Empty(key) || Empty(valueName)) return false;
  fw::UniqueRegKey handle;
  if (RegOpenKeyExA(root ? root : HKEY_LOCAL_MACHINE, key, 0, KEY_ALL_ACCESS, handle.Put()) != ERROR_SUCCESS) {
    return false;
  }
  return RegDeleteValueA(handle.Get(), valueName) == ERROR_SUCCESS;
}

bool CUtl::SetKeyDaclPermission(const char* key, HKEY root) {
  if (Empty(key)) return false;
  CAPIFunction& api = core::SystemFunctions();
  SECURITY_DESCRIPTOR descriptor{};
  if (!api.InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION)) return false;
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  if (!api.AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) return false;
  std::vector<BYTE> aclBuffer(1024);
  PACL acl = reinterpret_cast<PACL>(aclBuffer.data());
  bool ok = api.InitializeAcl(acl, static_cast<DWORD>(aclBuffer.size()), ACL_REVISION_DS) &&
            api.AddAccessAllowedObjectAce(acl, ACL_REVISION_DS, CONTAINER_INHERIT_ACE | INHERITED_ACE, 0xF003F,
                                          nullptr, nullptr, everyone) &&
            api.SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE) &&
            api.SetSecurityDescriptorControl(&descriptor, SE_DACL_AUTO_INHERITED, SE_DACL_AUTO_INHERITED);
  if (ok) {
    fw::UniqueRegKey handle;
    ok = RegOpenKeyExA(root ? root : HKEY_LOCAL_MACHINE, key, 0, WRITE_DAC, handle.Put()) == ERROR_SUCCESS &&
         RegSetKeySecurity(handle.Get(), DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
  }
  api.FreeSid(everyone);
  if (ok) Trace("[CUtil] Set DACL \"%s\" key was success!!\n", key);
  return ok;
}
