#include "setup/scriptlib/api_function.h"

#include <string>

#include "framework/library_loading.h"
#include "framework/trace.h"

namespace {
template <typename Fn>
Fn As(FARPROC p) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(p));
}
}  // namespace

CAPIFunction::CAPIFunction() = default;

CAPIFunction::~CAPIFunction() { FreeLibraries(); }

void CAPIFunction::FreeLibraries() {
  for (HMODULE* module : {&kernel32_, &netapi_, &advapi32_}) {
    if (*module) FreeLibrary(*module);
    *module = nullptr;
  }
  getDiskFreeSpaceEx_ = nullptr;
  moveFileEx_ = nullptr;
  netWkstaGetInfo_ = nullptr;
  initializeSecurityDescriptor_ = nullptr;
  allocateAndInitializeSid_ = nullptr;
  initializeAcl_ = nullptr;
  addAccessAllowedObjectAce_ = nullptr;
  setSecurityDescriptorDacl_ = nullptr;
  setSecurityDescriptorControl_ = nullptr;
  freeSid_ = nullptr;
  initialized_ = false;
}

void CAPIFunction::Log(unsigned long error, const char* text) {
  qx::Trace("%s (error %lu)", text, error);
  if (log_) log_(logContext_, error, text);
}

FARPROC CAPIFunction::Bind(HMODULE module, const char* name, const char* label) {
  FARPROC p = GetProcAddress(module, name);
  if (!p) Log(GetLastError(), label);
  return p;
}

bool CAPIFunction::Initialize(LogFunction log, void* logContext) {
  FreeLibraries();
  log_ = log;
  logContext_ = logContext;

  kernel32_ = fw::LoadSystemLibrary("Kernel32.dll");
  if (kernel32_) {
    getDiskFreeSpaceEx_ = As<GetDiskFreeSpaceExAFn>(
        Bind(kernel32_, "GetDiskFreeSpaceExA", "[CAPIFunction] GetProcAddress-GetDiskFreeSpaceEx"));
    moveFileEx_ = As<MoveFileExAFn>(Bind(kernel32_, "MoveFileExA", "[CAPIFunction] GetProcAddress-MoveFileExA"));
  } else {
    Log(GetLastError(), "[CAPIFunction] LoadLibrary(Kernel32)");
  }

  netapi_ = fw::LoadSystemLibrary("Netapi32.dll");
  if (netapi_) {
    netWkstaGetInfo_ =
        As<NetWkstaGetInfoFn>(Bind(netapi_, "NetWkstaGetInfo", "[CAPIFunction] GetProcAddress-NetWkstaGetInfo"));
  } else {
    Log(GetLastError(), "[CAPIFunction] Load netapi32.dll fail");
  }

  advapi32_ = fw::LoadSystemLibrary("Advapi32.dll");
  if (advapi32_) {
    auto bind = [this](const char* name) {
      std::string label = std::string("[CAPIFunction] GetProcAddress-") + name;
      return Bind(advapi32_, name, label.c_str());
    };
    initializeSecurityDescriptor_ = As<InitializeSecurityDescriptorFn>(bind("InitializeSecurityDescriptor"));
    allocateAndInitializeSid_ = As<AllocateAndInitializeSidFn>(bind("AllocateAndInitializeSid"));
    initializeAcl_ = As<InitializeAclFn>(bind("InitializeAcl"));
    addAccessAllowedObjectAce_ = As<AddAccessAllowedObjectAceFn>(bind("AddAccessAllowedObjectAce"));
    setSecurityDescriptorDacl_ = As<SetSecurityDescriptorDaclFn>(bind("SetSecurityDescriptorDacl"));
    setSecurityDescriptorControl_ = As<SetSecurityDescriptorControlFn>(bind("SetSecurityDescriptorControl"));
    freeSid_ = As<FreeSidFn>(bind("FreeSid"));
  } else {
    Log(GetLastError(), "[CAPIFunction] Load Advapi32.dll fail");
  }
  initialized_ = true;
  return true;
}

BOOL CAPIFunction::GetDiskFreeSpaceExA(LPCSTR directory, PULARGE_INTEGER available, PULARGE_INTEGER total,
                                       PULARGE_INTEGER free) {
  return getDiskFreeSpaceEx_ ? getDiskFreeSpaceEx_(directory, available, total, free) : FALSE;
}

BOOL CAPIFunction::MoveFileExA(LPCSTR existing, LPCSTR replacement, DWORD flags) {
  return moveFileEx_ ? moveFileEx_(existing, replacement, flags) : FALSE;
}

DWORD CAPIFunction::NetWkstaGetInfo(LPWSTR server, DWORD level, LPBYTE* buffer) {
  return netWkstaGetInfo_ ? netWkstaGetInfo_(server, level, buffer) : 1;
}

BOOL CAPIFunction::InitializeSecurityDescriptor(PSECURITY_DESCRIPTOR descriptor, DWORD revision) {
  return initializeSecurityDescriptor_ ? initializeSecurityDescriptor_(descriptor, revision) : FALSE;
}

BOOL CAPIFunction::AllocateAndInitializeSid(PSID_IDENTIFIER_AUTHORITY authority, BYTE count, DWORD s0, DWORD s1,
                                            DWORD s2, DWORD s3, DWORD s4, DWORD s5, DWORD s6, DWORD s7,
                                            PSID* sid) {
  return allocateAndInitializeSid_ ? allocateAndInitializeSid_(authority, count, s0, s1, s2, s3, s4, s5, s6, s7, sid)
                                   : FALSE;
}

BOOL CAPIFunction::InitializeAcl(PACL acl, DWORD length, DWORD revision) {
  return initializeAcl_ ? initializeAcl_(acl, length, revision) : FALSE;
}

BOOL CAPIFunction::AddAccessAllowedObjectAce(PACL acl, DWORD revision, DWORD flags, DWORD mask, GUID* objectType,
                                             GUID* inheritedType, PSID sid) {
  return addAccessAllowedObjectAce_
             ? addAccessAllowedObjectAce_(acl, revision, flags, mask, objectType, inheritedType, sid)
             : FALSE;
}

BOOL CAPIFunction::SetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor, BOOL present, PACL acl,
                                             BOOL defaulted) {
  return setSecurityDescriptorDacl_ ? setSecurityDescriptorDacl_(descriptor, present, acl, defaulted) : FALSE;
}

BOOL CAPIFunction::SetSecurityDescriptorControl(PSECURITY_DESCRIPTOR descriptor, SECURITY_DESCRIPTOR_CONTROL mask,
                                                SECURITY_DESCRIPTOR_CONTROL bits) {
  return setSecurityDescriptorControl_ ? setSecurityDescriptorControl_(descriptor, mask, bits) : FALSE;
}

PVOID CAPIFunction::FreeSid(PSID sid) { return freeSid_ ? freeSid_(sid) : nullptr; }
