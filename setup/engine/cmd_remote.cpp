// CCmdOperator: remote installation on client computers. The installation
// key is exported to a registry file, removed here, and a worker hands each
// client computer to the remote-installation library, reporting with 2037.
#include <memory>
#include <vector>

#include "companions/contracts/install_states.h"
#include "companions/contracts/remote_install_param.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/engine/cmd_operator.h"

namespace {

using SaveFileFunction = BOOL(__stdcall*)(const char*, const char*, int);
using RemoteFunction = BOOL(__stdcall*)(RemoteInstallParam*);

// More client computers than any list page offers; a larger count in the
// registry is cut here.
constexpr DWORD kMaxClients = 1024;

// What the worker works from. The Remote_Info values are read before the
// installation key (which holds them) is removed, so the worker never reads
// a deleted key.
struct RemoteJob {
  InstallThreadParam param;
  std::string user, password, domain;
  DWORD count = 0;
  std::vector<std::string> computers;
};

void Copy(char* target, size_t size, const std::string& text) { lstrcpynA(target, text.c_str(), static_cast<int>(size)); }

// The log never holds a password in clear text.
const char* Masked(const std::string& password) { return password.empty() ? "(empty)" : "********"; }

void Report(HWND window, unsigned state) { SendMessageA(window, qx::contracts::kInstallStateMessage, state, 0); }

// The saved registry file holds the administrator's password in clear text:
// it goes as soon as the library no longer needs it, before the final report,
// on every path of the worker.
void Finish(RemoteJob& job, RemoteInstallParam* block) {
  if (job.param.szRegFile[0]) DeleteFileA(job.param.szRegFile);
  if (block) SecureZeroMemory(block->password, sizeof(block->password));
  SecureZeroMemory(job.password.data(), job.password.size());
  Report(job.param.hWnd, qx::contracts::kStateFinish);
}

DWORD WINAPI RemoteWorker(void* parameter) {
  std::unique_ptr<RemoteJob> job(static_cast<RemoteJob*>(parameter));
  CUtl log;
  log.BorrowApplicationLog();
  HWND window = job->param.hWnd;
  std::string localIp;
  CUtl::GetIPAddress("", &localIp);
  // The client page stores an empty domain for a work-group account, which
  // the remote library accepts: only the user, password and count are required.
  if (job->user.empty() || job->password.empty() || job->count == 0) {
    log.WriteLog(0,
                 "[CCmdOperator] Get Remote Install Information fail\n\t\t\t\t\t\t\t\t\t\t\t Username = "
                 "%s\t\t\t\t\t\t\t\t\t\t\t Password = %s\t\t\t\t\t\t\t\t\t\t\t Domain   = "
                 "%s\t\t\t\t\t\t\t\t\t\t\t dwNumOfPCs = %d",
                 job->user.c_str(), Masked(job->password), job->domain.c_str(), static_cast<int>(job->count));
    Finish(*job, nullptr);
    return 0;
  }
  auto block = std::make_unique<RemoteInstallParam>();
  *block = RemoteInstallParam{};
  Copy(block->localIp, sizeof(block->localIp), localIp);
  Copy(block->userName, sizeof(block->userName), job->user);
  Copy(block->password, sizeof(block->password), job->password);
  Copy(block->domain, sizeof(block->domain), job->domain);
  Copy(block->sourceDir, sizeof(block->sourceDir), job->param.szSrcDir);
  Copy(block->registryFile, sizeof(block->registryFile), job->param.szRegFile);
  Copy(block->commandLine, sizeof(block->commandLine), "setup.exe /Remote");
  auto install = job->param.hLibrary
                     ? reinterpret_cast<RemoteFunction>(
                           reinterpret_cast<void*>(GetProcAddress(job->param.hLibrary, "DoRemoteInstall")))
                     : nullptr;
  if (!install) {
    log.WriteLog(0, "[CCmdOperator] Get function Error (DoRemoteInstall)");
    Finish(*job, block.get());
    return 0;
  }
  for (const std::string& computer : job->computers) {
    Copy(block->remoteComputer, sizeof(block->remoteComputer), computer);
    Report(window, qx::contracts::kStateInstallStart);
    log.WriteLog(0,
                 "[CCmdOperator] Param\n\t\t\t\t\t\t\t\t\t\t\t Local IP = %s\n\t\t\t\t\t\t\t\t\t\t\t Remote IP = "
                 "%s\n\t\t\t\t\t\t\t\t\t\t\t UserName   = %s\n\t\t\t\t\t\t\t\t\t\t\t Password = "
                 "%s\n\t\t\t\t\t\t\t\t\t\t\t Domain = %s\n\t\t\t\t\t\t\t\t\t\t\t SrcDir = "
                 "%s\n\t\t\t\t\t\t\t\t\t\t\t Registry = %s\n\t\t\t\t\t\t\t\t\t\t\t Cmdline = %s",
                 block->localIp, block->remoteComputer, block->userName, Masked(job->password), block->domain,
                 block->sourceDir, block->registryFile, block->commandLine);
    BOOL done = install(block.get());
    Report(window, done ? qx::contracts::kStateInstallSuccess : qx::contracts::kStateInstallFail);
  }
  Finish(*job, block.get());
  return 1;
}

}  // namespace

bool CCmdOperator::RunRemoteInstall() {
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (!env) return false;
  std::string installKey = env->GetInstallKey();
  std::string infoKey = installKey + "\\Remote_Info";
  std::string registryFile = env->GetTempDir() + "\\RtReg.reg";
  DeleteFileA(registryFile.c_str());
  auto save = reinterpret_cast<SaveFileFunction>(reinterpret_cast<void*>(Function(kUtility, "SaveFile")));
  if (!save) {
    log_.WriteLog(0, "[CCmdOperator] Get function fail!! (SaveFile)\n");
    return false;
  }
  if (!save(registryFile.c_str(), installKey.c_str(), 0)) {
    log_.WriteLog(0, "[CCmdOperator] Save registry key to file fail!! (%s)\n", registryFile.c_str());
    DeleteFileA(registryFile.c_str());  // a part written may hold the password
    return false;
  }

  auto job = std::make_unique<RemoteJob>();
  job->user = CUtl::GetRegString(infoKey.c_str(), "User_Name", HKEY_LOCAL_MACHINE, "");
  job->password = CUtl::GetRegString(infoKey.c_str(), "Password", HKEY_LOCAL_MACHINE, "");
  job->domain = CUtl::GetRegString(infoKey.c_str(), "Domain", HKEY_LOCAL_MACHINE, "");
  job->count = CUtl::GetRegDword(infoKey.c_str(), "NumOfPCs", HKEY_LOCAL_MACHINE, 0);
  if (job->count > kMaxClients) {
    log_.WriteLog(0, "[CCmdOperator] %lu client computers listed, installing on the first %lu\n", job->count,
                  kMaxClients);
    job->count = kMaxClients;
  }
  for (DWORD i = 0; i < job->count; ++i) {
    std::string computer =
        CUtl::GetRegString(infoKey.c_str(), ("PC_" + std::to_string(i)).c_str(), HKEY_LOCAL_MACHINE, "");
    if (computer.size() > 255) computer.resize(255);
    job->computers.push_back(computer);
  }

  CUtl::DeleteRegKey(installKey.c_str(), true, false, HKEY_LOCAL_MACHINE);

  threadParam_ = InstallThreadParam{};
  threadParam_.hWnd = CurrentPageWindow();
  Copy(threadParam_.szKey, sizeof(threadParam_.szKey), infoKey);
  threadParam_.nFlag = 0;
  threadParam_.hLibrary = GetLibrary(kRemoteInstall);
  threadParam_.nInstall = 1;
  Copy(threadParam_.szRegFile, sizeof(threadParam_.szRegFile), registryFile);
  Copy(threadParam_.szSrcDir, sizeof(threadParam_.szSrcDir), env->GetSrcDir());
  job->param = threadParam_;
  if (!StartWorker(&RemoteWorker, job.get())) {
    DeleteFileA(registryFile.c_str());
    return false;
  }
  job.release();
  return true;
}
