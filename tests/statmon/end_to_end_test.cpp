// statmon.exe and jobannounce.exe as processes on the shipped sample data:
// jobs over the pipe and by WM_COPYDATA 1000, one monitor per model, and the
// documented ends of a start that cannot work.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/statmon/sm_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_capture.h"
#include "tests/support/watchdog.h"

namespace {

using qx::test::TempDir;
using qx::test::TraceCapture;

constexpr UINT kKill = WM_USER + 305;

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    qx::test::SetWatchdogLimit(120);
    cls_ = "QX E2E Monitor " + std::to_string(GetCurrentProcessId()) + "." + std::to_string(GetTickCount());
  }
  void TearDown() override {
    // Whatever monitor is still up for this test's model is asked to end.
    HWND hwnd = FindWindowA(cls_.c_str(), cls_.c_str());
    if (hwnd) EndMonitor(hwnd);
  }
  // The sample installation with this test's own window class.
  std::string Install(const std::string& exeName, const std::string& configExtra = "") {
    std::string exe = smtest::InstallSample(dir_, exeName);
    std::string config = smtest::ReadMedia("QXL2020.dat");
    size_t at = config.find("Class=");
    config.replace(at, config.find('\n', at) - at, "Class=" + cls_);
    dir_.Write("QXL2020.dat", config + configExtra);
    return exe;
  }
  std::string Announcer() const { return smtest::BuildFile("tools\\jobannounce\\jobannounce.exe"); }
  HWND Monitor() const { return FindWindowA(cls_.c_str(), cls_.c_str()); }
  // Sends the external kill message and waits for the process to end.
  static bool EndMonitor(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    PostMessageA(hwnd, kKill, 0, 0);
    bool ended = process && WaitForSingleObject(process, 20000) == WAIT_OBJECT_0;
    if (process) CloseHandle(process);
    return ended;
  }
  DWORD RunToEnd(const std::string& program, const std::string& arguments) {
    qx::test::Process p;
    EXPECT_TRUE(p.Start(program, arguments, {}, dir_.Path()));
    DWORD code = 999;
    EXPECT_TRUE(p.Wait(60000, &code));
    return code;
  }

  TempDir dir_;
  std::string cls_;
  TraceCapture trace_;
};

TEST_F(EndToEnd, AnnouncerHandsAJobOverThePipe) {
  std::string exe = Install("statmon.exe");
  DWORD code = RunToEnd(Announcer(), "/pipe /exe \"" + exe +
                                         "\" /program QXL2020 /printer \"QX Laser L2020\" /second two "
                                         "/display \"C:\\docs\\report.doc\" /key QXL2020_KEY");
  EXPECT_EQ(code, 0u) << trace_.Text();
  EXPECT_TRUE(smtest::WaitFor([&] { return trace_.Contains("Enter OnJobStarted"); })) << trace_.Text();
  EXPECT_TRUE(trace_.Contains("##**&& QX Laser L2020, two, C:\\docs\\report.doc, QXL2020_KEY"));
  EXPECT_TRUE(trace_.Contains("It's not a toner mode"));
  ASSERT_NE(Monitor(), nullptr);
  EXPECT_TRUE(EndMonitor(Monitor()));
  EXPECT_TRUE(trace_.Contains("unload devmon!!!"));
}

TEST_F(EndToEnd, AnnouncerHandsAJobByCopyData) {
  std::string exe = Install("QXL2020.exe");  // started without names: the file name selects the configuration
  DWORD code = RunToEnd(Announcer(), "/copydata /exe \"" + exe +
                                         "\" /printer \"QX Laser L2020\" /second two /display report.doc /key K2");
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(smtest::WaitFor([&] { return trace_.Contains("Enter OnJobStarted"); })) << trace_.Text();
  EXPECT_TRUE(trace_.Contains("##**&& QX Laser L2020, two, report.doc, K2"));
  // A second job goes to the same monitor.
  trace_.Clear();
  EXPECT_EQ(RunToEnd(Announcer(), "/copydata /exe \"" + exe + "\" /printer P2 /display d2 /key K3"), 0u);
  EXPECT_TRUE(smtest::WaitFor([&] { return trace_.Contains("Enter OnJobStarted"); }));
  EXPECT_TRUE(trace_.Contains("##**&& P2, , d2, K3"));
  EXPECT_FALSE(trace_.Contains("Exit Initialize"));  // no second monitor came up
}

TEST_F(EndToEnd, ASecondStartReachesTheRunningMonitor) {
  std::string exe = Install("QXL2020.exe");
  qx::test::Process first;
  ASSERT_TRUE(first.Start(exe, "", {}, dir_.Path()));  // toner mode
  ASSERT_TRUE(smtest::WaitFor([&] { return Monitor() != nullptr; })) << trace_.Text();
  EXPECT_TRUE(trace_.Contains("pCmdParam is null and pCommandLine is null..so toner mode"));

  trace_.Clear();
  EXPECT_EQ(RunToEnd(exe, ""), 1u);  // the second one ends at once
  EXPECT_TRUE(smtest::WaitFor([&] { return trace_.Contains("Vexa Status Monitor is already running..!"); }))
      << trace_.Text();
  HWND order = FindWindowA(nullptr, "Order Toner");  // the first monitor's order toner window, still up
  EXPECT_TRUE(order && IsWindowVisible(order));

  // A job for the same model: the new instance passes its pipe on (WM_COPYDATA 500).
  trace_.Clear();
  EXPECT_EQ(RunToEnd(Announcer(), "/pipe /exe \"" + exe + "\" /printer P /display D /key K"), 0u);
  EXPECT_TRUE(smtest::WaitFor([&] { return trace_.Contains("Enter OnJobStarted"); })) << trace_.Text();
  EXPECT_TRUE(trace_.Contains("##**&& P, , D, K"));
  EXPECT_TRUE(smtest::WaitFor([&] { return trace_.Contains("Vexa Status Monitor is already running..!"); }));

  EXPECT_TRUE(EndMonitor(Monitor()));
  DWORD code = 999;
  EXPECT_TRUE(first.Wait(20000, &code));
  EXPECT_EQ(code, 0u);
}

TEST_F(EndToEnd, StartsThatCannotWorkEndCleanly) {
  struct {
    const char* name;
    const char* extra;         // appended to the configuration (later keys lose; sections merge)
    const char* remove;        // file removed before the start
    DWORD exitCode;
    const char* trace;
  } cases[] = {
      {"no status table", "", "smcode.dat", 1, "[critical error] smcode.dat file is not found"},
      {"no library", "", "smdevmon.dll", 0, "Load Device Monitor fail"},
  };
  for (const auto& c : cases) {
    std::string exe = Install("QXL2020.exe", c.extra);
    DeleteFileA(dir_.File(c.remove).c_str());
    trace_.Clear();
    EXPECT_EQ(RunToEnd(exe, "/JOB"), c.exitCode) << c.name;
    EXPECT_TRUE(trace_.Contains(c.trace)) << c.name << "\n" << trace_.Text();
    EXPECT_EQ(Monitor(), nullptr) << c.name;
  }
  // An empty Model/Class and a library without all entry points.
  std::string exe = Install("QXL2020.exe");
  dir_.Write("QXL2020.dat", "[Model]\nMDL=QX-L2020\n");
  trace_.Clear();
  EXPECT_EQ(RunToEnd(exe, "/JOB"), 1u);
  EXPECT_TRUE(trace_.Contains("Model/Class is empty"));

  Install("QXL2020.exe");
  CopyFileA(smtest::BuildFile("tests\\statmon\\smdevmon_partial.dll").c_str(), dir_.File("smdevmon.dll").c_str(), FALSE);
  trace_.Clear();
  EXPECT_EQ(RunToEnd(exe, "/JOB"), 0u);
  EXPECT_TRUE(trace_.Contains("DevMon GetProcAddress fail"));
  EXPECT_TRUE(trace_.Contains("Load Device Monitor fail"));
}

TEST_F(EndToEnd, ABareLibraryNameIsFoundInTheSystemFolder) {
  // Not beside the program: installed by the printing side in the system folder.
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, sizeof(system));
  std::string name = "qxsmsys" + std::to_string(GetCurrentProcessId()) + ".dll";
  std::string installed = std::string(system) + "\\" + name;
  ASSERT_TRUE(CopyFileA(smtest::BuildFile("companions\\devmon\\smdevmon.dll").c_str(), installed.c_str(), FALSE));
  std::string exe = Install("QXL2020.exe");
  DeleteFileA(dir_.File("smdevmon.dll").c_str());
  std::string config = qx::test::TempDir::Read(dir_.File("QXL2020.dat"));
  size_t at = config.find("Name=smdevmon.dll");
  config.replace(at, 17, "Name=" + name);
  dir_.Write("QXL2020.dat", config);
  qx::test::Process monitor;
  ASSERT_TRUE(monitor.Start(exe, "/JOB", {}, dir_.Path()));
  EXPECT_TRUE(smtest::WaitFor([&] { return Monitor() != nullptr; })) << trace_.Text();
  EXPECT_FALSE(trace_.Contains("Load DevMon Library fail"));
  if (HWND hwnd = Monitor()) EXPECT_TRUE(EndMonitor(hwnd));
  EXPECT_TRUE(monitor.Wait(20000));
  DeleteFileA(installed.c_str());
}

}  // namespace
