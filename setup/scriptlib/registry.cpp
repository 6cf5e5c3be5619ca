// CRegistry: values, deletion with the Everyone retry, empty parents, copies.
#include "setup/scriptlib/registry.h"

#include <cstring>
#include <string>
#include <vector>

#include "framework/handles.h"
#include "framework/trace.h"
#include "setup/scriptlib/api_function.h"

namespace {

constexpr unsigned long kBadArgument = ERROR_INVALID_PARAMETER;     // 87
constexpr unsigned long kBufferTooSmall = ERROR_INSUFFICIENT_BUFFER;  // 122
constexpr unsigned long kNotSupported = ERROR_NOT_SUPPORTED;          // 50
constexpr REGSAM kSaveAccess = KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;

bool Empty(const char* s) { return !s || !*s; }

// "parent\child", or appended directly when the parent ends in a backslash.
bool ChildPath(const std::string& parent, const char* child, std::string* path) {
  *path = parent;
  if (!path->empty() && path->back() != '\\') *path += '\\';
  *path += child;
  return path->size() < CRegistry::kNameSize;
}

// Reads a value of the expected type into a buffer one byte longer than the
// largest value, so that data stored without its NUL still ends in one.
LONG QueryTyped(const char* subkey, const char* name, HKEY root, DWORD expected, std::vector<char>* data,
                DWORD* size) {
  fw::UniqueRegKey key;
  LONG result = RegOpenKeyExA(root, subkey, 0, KEY_READ, key.Put());
  if (result != ERROR_SUCCESS) return result;
  data->assign(CRegistry::kDataSize + 1, '\0');
  DWORD type = 0;
  *size = CRegistry::kDataSize;
  result = RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data->data()), size);
  if (result != ERROR_SUCCESS) return result;
  return type == expected ? ERROR_SUCCESS : static_cast<LONG>(kBadArgument);
}

// The writers without the argument rules: the copy also writes default values.
LONG WriteValue(const char* subkey, const char* name, DWORD type, const void* data, DWORD size, HKEY root) {
  fw::UniqueRegKey key;
  LONG result =
      RegCreateKeyExA(root, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.Put(), nullptr);
  if (result != ERROR_SUCCESS) return result;
  return RegSetValueExA(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size);
}

LONG WriteString(const char* subkey, const char* name, const char* text, HKEY root) {
  return WriteValue(subkey, name, REG_SZ, text, static_cast<DWORD>(std::strlen(text)), root);
}

LONG WriteDword(const char* subkey, const char* name, unsigned long value, HKEY root) {
  DWORD data = value;
  return WriteValue(subkey, name, REG_DWORD, &data, sizeof(data), root);
}

}  // namespace

// A scoped helper for the protected retry: RegDeleteKeyA, and on "access
// denied" Everyone gets full control and the delete is tried once more.
class RegistryDeleteRetry : public CRegistry {
 public:
  static unsigned long Delete(const char* subkey, HKEY root) {
    LONG result = RegDeleteKeyA(root, subkey);
    if (result != ERROR_ACCESS_DENIED) return static_cast<unsigned long>(result);
    unsigned long granted = SetDaclPermission(subkey, root);
    if (granted != ERROR_SUCCESS) {
      qx::Trace("[CRegistry] Set DACL of %s failed (%lu)", subkey, granted);
      return static_cast<unsigned long>(result);
    }
    return static_cast<unsigned long>(RegDeleteKeyA(root, subkey));
  }
};

CRegistry::CRegistry() = default;
CRegistry::CRegistry(const CRegistry&) = default;
CRegistry& CRegistry::operator=(const CRegistry&) = default;
CRegistry::~CRegistry() = default;

unsigned long CRegistry::GetValue(const char* subkey, const char* name, char* buffer, HKEY root,
                                  unsigned long size) {
  if (Empty(subkey) || Empty(name) || !buffer) return kBadArgument;
  std::vector<char> data;
  DWORD stored = 0;
  LONG result = QueryTyped(subkey, name, root, REG_SZ, &data, &stored);
  if (result != ERROR_SUCCESS) return static_cast<unsigned long>(result);
  size_t length = std::strlen(data.data());
  // The stored size may lack the NUL: the text and its NUL must fit too.
  if (size != kNoSizeCheck && (size < stored || size < length + 1)) return kBufferTooSmall;
  std::memcpy(buffer, data.data(), length + 1);
  return ERROR_SUCCESS;
}

unsigned long CRegistry::SetValue(const char* subkey, const char* name, const char* text, HKEY root) {
  if (Empty(subkey) || Empty(name) || !text) return kBadArgument;
  return static_cast<unsigned long>(WriteString(subkey, name, text, root));
}

unsigned long CRegistry::GetValue(const char* subkey, const char* name, unsigned long* value, HKEY root,
                                  unsigned long) {
  if (Empty(subkey) || Empty(name) || !value) return kBadArgument;
  std::vector<char> data;
  DWORD stored = 0;
  LONG result = QueryTyped(subkey, name, root, REG_DWORD, &data, &stored);
  if (result != ERROR_SUCCESS) return static_cast<unsigned long>(result);
  DWORD out = 0;
  std::memcpy(&out, data.data(), sizeof(out));
  *value = out;
  return ERROR_SUCCESS;
}

unsigned long CRegistry::SetValue(const char* subkey, const char* name, unsigned long value, HKEY root) {
  if (Empty(subkey) || Empty(name)) return kBadArgument;
  return static_cast<unsigned long>(WriteDword(subkey, name, value, root));
}

unsigned long CRegistry::DeleteKey(const char* subkey, bool single, HKEY root) {
  if (Empty(subkey)) return kBadArgument;
  if (single) return RegistryDeleteRetry::Delete(subkey, root);
  unsigned long result = DeleteSubKey(subkey, root);
  if (result != ERROR_SUCCESS) return result;
  return DeleteEmptyParent(subkey, root);
}

unsigned long CRegistry::DeleteSubKey(const char* subkey, HKEY root) {
  if (Empty(subkey) || std::strlen(subkey) >= kNameSize) return kBadArgument;
  {
    fw::UniqueRegKey key;
    LONG result = RegOpenKeyExA(root, subkey, 0, KEY_ALL_ACCESS, key.Put());
    if (result != ERROR_SUCCESS) return static_cast<unsigned long>(result);
    DWORD count = 0;
    result = RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS) return static_cast<unsigned long>(result);
    std::vector<char> name(kNameSize);  // heap: the recursion may run on a small stack
    std::string parent(subkey), child;
    for (DWORD i = 0; i < count; ++i) {
      DWORD nameSize = kNameSize;
      result = RegEnumKeyExA(key.Get(), 0, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr);
      if (result != ERROR_SUCCESS) return static_cast<unsigned long>(result);
      if (!ChildPath(parent, name.data(), &child)) return kBadArgument;
      unsigned long removed = DeleteSubKey(child.c_str(), root);
      if (removed != ERROR_SUCCESS) return removed;
    }
  }
  return RegistryDeleteRetry::Delete(subkey, root);
}

unsigned long CRegistry::DeleteEmptyParent(const char* subkey, HKEY root) {
  if (Empty(subkey)) return kBadArgument;
  std::string path(subkey);
  while (!path.empty() && path.back() == '\\') path.pop_back();
  for (;;) {
    size_t slash = path.rfind('\\');
    if (slash == std::string::npos) return ERROR_SUCCESS;
    path.resize(slash);
    // A top-level key such as "Software" has no backslash and is never deleted.
    if (path.find('\\') == std::string::npos) return ERROR_SUCCESS;
    {
      fw::UniqueRegKey key;
      LONG result = RegOpenKeyExA(root, path.c_str(), 0, kSaveAccess, key.Put());
      if (result != ERROR_SUCCESS) return static_cast<unsigned long>(result);
      DWORD subkeys = 0, values = 0;
      result = RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                nullptr, nullptr, nullptr);
      if (result != ERROR_SUCCESS) return static_cast<unsigned long>(result);
      if (subkeys != 0 || values != 0) return ERROR_SUCCESS;
    }
    LONG result = RegDeleteKeyA(root, path.c_str());
    if (result != ERROR_SUCCESS) return static_cast<unsigned long>(result);
  }
}

unsigned long CRegistry::DeleteValue(const char* subkey, const char* name, HKEY root) {
  if (Empty(subkey) || !name) return kBadArgument;
  fw::UniqueRegKey key;
  LONG result = RegOpenKeyExA(root, subkey, 0, KEY_ALL_ACCESS, key.Put());
  if (result != ERROR_SUCCESS) return static_cast<unsigned long>(result);
  return static_cast<unsigned long>(RegDeleteValueA(key.Get(), name));
}

unsigned long CRegistry::SetDaclPermission(const char* subkey, HKEY root) {
  if (Empty(subkey)) return kBadArgument;
  CAPIFunction api;
  api.Initialize();
  if (!api.HasSecurityFunctions()) return kNotSupported;
  auto lastError = [] {
    DWORD error = GetLastError();
    return error ? static_cast<unsigned long>(error) : static_cast<unsigned long>(ERROR_INVALID_FUNCTION);
  };
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  if (!api.AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) {
    return lastError();
  }
  // One object entry: the list header, the entry without its SID start, the SID.
  std::vector<BYTE> aclBuffer(GetLengthSid(everyone) + 52);
  PACL acl = reinterpret_cast<PACL>(aclBuffer.data());
  SECURITY_DESCRIPTOR descriptor{};
  unsigned long result = ERROR_SUCCESS;
  if (!api.InitializeAcl(acl, static_cast<DWORD>(aclBuffer.size()), ACL_REVISION_DS) ||
      !api.AddAccessAllowedObjectAce(acl, ACL_REVISION_DS, CONTAINER_INHERIT_ACE | INHERITED_ACE, KEY_ALL_ACCESS,
                                     nullptr, nullptr, everyone) ||
      !api.InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
      !api.SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE) ||
      !api.SetSecurityDescriptorControl(&descriptor, SE_DACL_AUTO_INHERIT_REQ, SE_DACL_AUTO_INHERIT_REQ)) {
    result = lastError();
  } else {
    fw::UniqueRegKey key;
    LONG opened = RegOpenKeyExA(root, subkey, 0, WRITE_DAC, key.Put());
    result = static_cast<unsigned long>(
        opened != ERROR_SUCCESS ? opened : RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, &descriptor));
  }
  api.FreeSid(everyone);
  return result;
}

unsigned long CRegistry::CopyKey(const char* source, const char* destination, bool recursive, HKEY sourceRoot,
                                 HKEY destinationRoot) {
  if (Empty(source) || Empty(destination)) return kBadArgument;
  if (std::strlen(source) >= kNameSize || std::strlen(destination) >= kNameSize) return kBadArgument;
  fw::UniqueRegKey key;
  LONG result = RegOpenKeyExA(sourceRoot, source, 0, KEY_READ, key.Put());
  if (result != ERROR_SUCCESS) return static_cast<unsigned long>(result);
  DWORD subkeys = 0, values = 0;
  result = RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                            nullptr, nullptr, nullptr);
  if (result != ERROR_SUCCESS) return static_cast<unsigned long>(result);
  if (recursive) {
    std::vector<char> name(kNameSize);
    std::string from, to;
    for (DWORD i = 0; i < subkeys; ++i) {
      DWORD nameSize = kNameSize;
      result = RegEnumKeyExA(key.Get(), i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr);
      if (result != ERROR_SUCCESS) return static_cast<unsigned long>(result);
      if (!ChildPath(source, name.data(), &from) || !ChildPath(destination, name.data(), &to)) return kBadArgument;
      unsigned long copied = CopyKey(from.c_str(), to.c_str(), true, sourceRoot, destinationRoot);
      if (copied != ERROR_SUCCESS) return copied;
    }
  }
  return CopyValue(key.Get(), values, destination, destinationRoot);
}

unsigned long CRegistry::CopyValue(HKEY source, unsigned long count, const char* destination,
                                   HKEY destinationRoot) {
  if (!source || Empty(destination)) return kBadArgument;
  std::vector<char> name(kNameSize);
  std::vector<char> data(kDataSize + 1);
  for (unsigned long i = 0; i < count; ++i) {
    DWORD nameSize = kNameSize, type = 0, dataSize = kDataSize;
    std::fill(data.begin(), data.end(), '\0');
    LONG result = RegEnumValueA(source, i, name.data(), &nameSize, nullptr, &type,
                                reinterpret_cast<BYTE*>(data.data()), &dataSize);
    if (result == ERROR_MORE_DATA) continue;  // beyond the limits: not copied
    if (result != ERROR_SUCCESS) return static_cast<unsigned long>(result);
    if (type == REG_SZ) {
      result = WriteString(destination, name.data(), data.data(), destinationRoot);
    } else if (type == REG_DWORD) {
      DWORD value = 0;
      std::memcpy(&value, data.data(), sizeof(value));
      result = WriteDword(destination, name.data(), value, destinationRoot);
    }
    if (result != ERROR_SUCCESS) return static_cast<unsigned long>(result);
  }
  return ERROR_SUCCESS;
}
