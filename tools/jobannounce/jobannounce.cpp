// jobannounce.exe: plays the printing side for the status monitor. It starts
// or finds statmon.exe for a program name and hands it one job record, either
// as the server of a named pipe or by WM_COPYDATA 1000.
#include <windows.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/handles.h"
#include "statmon/command_line.h"
#include "statmon/job_record.h"
#include "statmon/language.h"
#include "tools/jobannounce/announce_args.h"

namespace {

using jobannounce::Options;

bool StartMonitor(const Options& o, const std::string& commandLine) {
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!CreateProcessA(o.exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      jobannounce::DirectoryOf(o.exe).c_str(), &si, &pi)) {
    std::fprintf(stderr, "jobannounce: cannot start %s (error %lu)\n", o.exe.c_str(), GetLastError());
    return false;
  }
  std::printf("jobannounce: started %s (process %lu)\n", o.exe.c_str(), pi.dwProcessId);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

int ByPipe(const Options& o) {
  std::string pipe = "\\\\.\\pipe\\QXStatmonJob." + std::to_string(GetCurrentProcessId()) + "." +
                     std::to_string(GetTickCount());
  fw::UniqueFile server(CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                         PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr));
  if (!server) {
    std::fprintf(stderr, "jobannounce: cannot create pipe %s (error %lu)\n", pipe.c_str(), GetLastError());
    return 2;
  }
  // Form 1 of the monitor's command line: the whole line begins with "/", and
  // the character after the space is skipped.
  if (!StartMonitor(o, "/" + o.program + " x" + pipe)) return 3;

  fw::UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  OVERLAPPED overlapped{};
  overlapped.hEvent = event.Get();
  if (!ConnectNamedPipe(server.Get(), &overlapped)) {
    DWORD error = GetLastError();
    if (error == ERROR_IO_PENDING) {
      if (WaitForSingleObject(event.Get(), o.timeoutMs) != WAIT_OBJECT_0) {
        CancelIo(server.Get());
        std::fprintf(stderr, "jobannounce: no monitor opened the pipe within %lu ms\n", o.timeoutMs);
        return 4;
      }
    } else if (error != ERROR_PIPE_CONNECTED) {
      std::fprintf(stderr, "jobannounce: ConnectNamedPipe failed (error %lu)\n", error);
      return 4;
    }
  }
  std::array<char, sm::kJobRecordSize> record = sm::EncodeJobRecord(o.job);
  ResetEvent(event.Get());
  overlapped = OVERLAPPED{};
  overlapped.hEvent = event.Get();
  DWORD written = 0;
  bool ok = WriteFile(server.Get(), record.data(), record.size(), &written, &overlapped) ||
            (GetLastError() == ERROR_IO_PENDING && WaitForSingleObject(event.Get(), o.timeoutMs) == WAIT_OBJECT_0 &&
             GetOverlappedResult(server.Get(), &overlapped, &written, FALSE));
  if (!ok || written != record.size()) {
    std::fprintf(stderr, "jobannounce: writing the job record failed (error %lu)\n", GetLastError());
    CancelIo(server.Get());
    return 5;
  }
  FlushFileBuffers(server.Get());
  DisconnectNamedPipe(server.Get());
  std::printf("jobannounce: job handed over on %s\n", pipe.c_str());
  return 0;
}

int ByCopyData(const Options& o) {
  std::string config = jobannounce::DirectoryOf(o.exe) + "\\" + o.program + ".dat";
  char cls[256] = {};
  GetPrivateProfileStringA("Model", "Class", "", cls, sizeof(cls) - 1, config.c_str());
  if (!*cls) {
    std::fprintf(stderr, "jobannounce: no [Model] Class in %s\n", config.c_str());
    return 2;
  }
  HWND monitor = FindWindowA(cls, cls);
  if (!monitor) {
    // A "/" in the arguments without the pipe form: the monitor neither reads a
    // pipe nor opens the order window; it waits for job messages.
    if (!StartMonitor(o, "\"" + o.exe + "\" /JOB")) return 3;
    DWORD start = GetTickCount();
    while (!(monitor = FindWindowA(cls, cls)) && GetTickCount() - start < o.timeoutMs) Sleep(50);
    if (!monitor) {
      std::fprintf(stderr, "jobannounce: the monitor window \"%s\" did not appear within %lu ms\n", cls, o.timeoutMs);
      return 4;
    }
  }
  // The record layout follows the Windows version the monitor runs on.
  sm::OsVersion os = sm::CurrentOsVersion();
  std::string record;
  if (os.platform == sm::OsVersion::kNT) {
    record = sm::EncodeWideJobRecord(o.job);
  } else {
    std::array<char, sm::kJobRecordSize> ansi = sm::EncodeJobRecord(o.job);
    record.assign(ansi.begin(), ansi.end());
  }
  COPYDATASTRUCT data{sm::kCopyDataJob, static_cast<DWORD>(record.size()), record.data()};
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(monitor, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, o.timeoutMs,
                           &answer)) {
    std::fprintf(stderr, "jobannounce: WM_COPYDATA was not taken (error %lu)\n", GetLastError());
    return 5;
  }
  std::printf("jobannounce: job handed over by WM_COPYDATA to \"%s\"\n", cls);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  Options options;
  std::string error;
  if (!jobannounce::ParseArgs(args, &options, &error)) {
    std::fprintf(stderr, "jobannounce: %s\n%s", error.c_str(), jobannounce::kUsage);
    return 1;
  }
  return options.way == jobannounce::Way::kPipe ? ByPipe(options) : ByCopyData(options);
}
