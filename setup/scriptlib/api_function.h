#pragma once
// CAPIFunction: system functions that some supported Windows versions lack,
// bound by name at run time so the installer loads everywhere. Each call
// operation forwards to the bound function and returns its result unchanged;
// when the function is missing it returns a fixed failure value instead
// (NetWkstaGetInfo 1, the security functions FALSE, FreeSid null), which the
// callers treat as the function's own failure.
//
// Binding problems are written to the installer's log through the log
// function given to Initialize (the environment passes its own log), and to
// the debug trace. Initialize always succeeds.
#include <windows.h>

#include "setup/scriptlib/export.h"

class SCRIPTLIB_API CAPIFunction {
 public:
  // Receives one log entry: the system error code (0 none) and the text.
  using LogFunction = void (*)(void* context, unsigned long error, const char* text);

  using GetDiskFreeSpaceExAFn = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
  using MoveFileExAFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
  using NetWkstaGetInfoFn = DWORD(WINAPI*)(LPWSTR, DWORD, LPBYTE*);
  using InitializeSecurityDescriptorFn = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, DWORD);
  using AllocateAndInitializeSidFn = BOOL(WINAPI*)(PSID_IDENTIFIER_AUTHORITY, BYTE, DWORD, DWORD, DWORD, DWORD,
                                                   DWORD, DWORD, DWORD, DWORD, PSID*);
  using InitializeAclFn = BOOL(WINAPI*)(PACL, DWORD, DWORD);
  using AddAccessAllowedObjectAceFn = BOOL(WINAPI*)(PACL, DWORD, DWORD, DWORD, GUID*, GUID*, PSID);
  using SetSecurityDescriptorDaclFn = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, BOOL, PACL, BOOL);
  using SetSecurityDescriptorControlFn = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, SECURITY_DESCRIPTOR_CONTROL,
                                                       SECURITY_DESCRIPTOR_CONTROL);
  using FreeSidFn = PVOID(WINAPI*)(PSID);

  CAPIFunction();
  virtual ~CAPIFunction();
  CAPIFunction(const CAPIFunction&) = delete;
  CAPIFunction& operator=(const CAPIFunction&) = delete;

  // Loads the three system libraries and binds the functions in their fixed
  // order. A second call first releases what the first one bound.
  bool Initialize(LogFunction log = nullptr, void* logContext = nullptr);

  BOOL GetDiskFreeSpaceExA(LPCSTR directory, PULARGE_INTEGER available, PULARGE_INTEGER total,
                           PULARGE_INTEGER free);
  BOOL MoveFileExA(LPCSTR existing, LPCSTR replacement, DWORD flags);
  DWORD NetWkstaGetInfo(LPWSTR server, DWORD level, LPBYTE* buffer);
  BOOL InitializeSecurityDescriptor(PSECURITY_DESCRIPTOR descriptor, DWORD revision);
  BOOL AllocateAndInitializeSid(PSID_IDENTIFIER_AUTHORITY authority, BYTE count, DWORD s0, DWORD s1, DWORD s2,
                                DWORD s3, DWORD s4, DWORD s5, DWORD s6, DWORD s7, PSID* sid);
  BOOL InitializeAcl(PACL acl, DWORD length, DWORD revision);
  BOOL AddAccessAllowedObjectAce(PACL acl, DWORD revision, DWORD flags, DWORD mask, GUID* objectType,
                                 GUID* inheritedType, PSID sid);
  BOOL SetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor, BOOL present, PACL acl, BOOL defaulted);
  BOOL SetSecurityDescriptorControl(PSECURITY_DESCRIPTOR descriptor, SECURITY_DESCRIPTOR_CONTROL mask,
                                    SECURITY_DESCRIPTOR_CONTROL bits);
  PVOID FreeSid(PSID sid);

  // MoveFileExA is used directly by the delete-on-restart routine, which
  // skips the call when this is null.
  MoveFileExAFn MoveFileExPointer() const { return moveFileEx_; }
  bool IsInitialized() const { return initialized_; }
  // Whether every function that grants a key's permissions was bound.
  bool HasSecurityFunctions() const {
    return initializeSecurityDescriptor_ && allocateAndInitializeSid_ && initializeAcl_ &&
           addAccessAllowedObjectAce_ && setSecurityDescriptorDacl_ && setSecurityDescriptorControl_ && freeSid_;
  }
  HMODULE NetapiModule() const { return netapi_; }

 protected:
  // Looks a function up by name; a missing one is logged with the label.
  FARPROC Bind(HMODULE module, const char* name, const char* label);
  void Log(unsigned long error, const char* text);
  void FreeLibraries();

 private:
  bool initialized_ = false;
  LogFunction log_ = nullptr;
  void* logContext_ = nullptr;
  HMODULE kernel32_ = nullptr;
  HMODULE netapi_ = nullptr;
  HMODULE advapi32_ = nullptr;
  GetDiskFreeSpaceExAFn getDiskFreeSpaceEx_ = nullptr;
  MoveFileExAFn moveFileEx_ = nullptr;
  NetWkstaGetInfoFn netWkstaGetInfo_ = nullptr;
  InitializeSecurityDescriptorFn initializeSecurityDescriptor_ = nullptr;
  AllocateAndInitializeSidFn allocateAndInitializeSid_ = nullptr;
  InitializeAclFn initializeAcl_ = nullptr;
  AddAccessAllowedObjectAceFn addAccessAllowedObjectAce_ = nullptr;
  SetSecurityDescriptorDaclFn setSecurityDescriptorDacl_ = nullptr;
  SetSecurityDescriptorControlFn setSecurityDescriptorControl_ = nullptr;
  FreeSidFn freeSid_ = nullptr;
};
