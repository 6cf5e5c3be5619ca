// statmon.exe as a process through a whole print job on real timers: the job
// announcer hands it the job, the simulated printer (the world file, read again
// at every poll) goes from ready to paper jam, memory overflow and toner low
// and back, the windows come and go, and the monitor ends by itself once the
// queue is empty. And a toner-mode start whose order link reaches the
// registered http command.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/statmon/sm_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_capture.h"
#include "tests/support/watchdog.h"

namespace {

using qx::test::TempDir;
using qx::test::TraceCapture;

constexpr UINT kKill = WM_USER + 305;

struct Shown {
  HWND hwnd = nullptr;
  RECT rect{};
};

class MonitorRun : public ::testing::Test {
 protected:
  void SetUp() override {
    qx::test::SetWatchdogLimit(240);
    cls_ = "QX Run Monitor " + std::to_string(GetCurrentProcessId()) + "." + std::to_string(GetTickCount());
    exe_ = smtest::InstallSample(dir_, "QXL2020.exe");
    std::string config = smtest::ReadMedia("QXL2020.dat");
    size_t at = config.find("Class=");
    config.replace(at, config.find('\n', at) - at, "Class=" + cls_);
    dir_.Write("QXL2020.dat", config);
    key_ = "QXRunTest" + std::to_string(GetCurrentProcessId());
    World("01 01 00 00 00 32 0A 00", 1);
  }
  void TearDown() override {
    if (HWND hwnd = FindWindowA(cls_.c_str(), cls_.c_str())) PostMessageA(hwnd, kKill, 0, 0);
    if (process_) {
      WaitForSingleObject(process_, 20000);
      CloseHandle(process_);
    }
  }
  // The printer's status and the number of jobs in its queue.
  void World(const std::string& status, int jobs) {
    dir_.Write("world.ini", "[PRINTER.USB001]\nMDL=MFG:QX;MDL:QX-L2020;\nStatus=" + status +
                                "\nServiceTag=QX7F3K2\n[QUEUE.QX Laser L2020]\nJobs=" + std::to_string(jobs) + "\n");
  }
  qx::test::Environment Env() const { return {{"QX_WORLD_FILE", dir_.File("world.ini")}}; }
  void Announce() {
    qx::test::Process p;
    ASSERT_TRUE(p.Start(smtest::BuildFile("tools\\jobannounce\\jobannounce.exe"),
                        "/pipe /exe \"" + exe_ + "\" /printer \"QX Laser L2020\" /display \"C:\\docs\\report.doc\" /key " +
                            key_,
                        Env(), dir_.Path()));
    DWORD code = 99;
    ASSERT_TRUE(p.Wait(60000, &code));
    ASSERT_EQ(code, 0u);
  }
  DWORD MonitorProcess() {
    HWND hwnd = nullptr;
    smtest::WaitFor([&] { return (hwnd = FindWindowA(cls_.c_str(), cls_.c_str())) != nullptr; });
    DWORD pid = 0;
    if (hwnd) GetWindowThreadProcessId(hwnd, &pid);
    if (pid && !process_) process_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    return pid;
  }
  // The visible top-level window of the monitor with this title (and height, when given).
  struct Search {
    DWORD pid;
    const char* title;
    int height;
    Shown found;
  };
  static BOOL CALLBACK Match(HWND hwnd, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char text[128] = {};
    GetWindowTextA(hwnd, text, sizeof(text));
    RECT r{};
    GetWindowRect(hwnd, &r);
    if (pid == s->pid && IsWindowVisible(hwnd) && std::string(text) == s->title &&
        (!s->height || r.bottom - r.top == s->height)) {
      s->found = {hwnd, r};
      return FALSE;
    }
    return TRUE;
  }
  Shown Find(const char* title, int height = 0) {
    Search s{pid_, title, height, {}};
    EnumWindows(Match, reinterpret_cast<LPARAM>(&s));
    return s.found;
  }
  bool Visible(const char* title, int height = 0) { return Find(title, height).hwnd != nullptr; }
  bool WaitVisible(const char* title, int height, bool visible, DWORD ms) {
    return smtest::WaitFor([&] { return Visible(title, height) == visible; }, ms);
  }

  TempDir dir_;
  TraceCapture trace_;
  std::string cls_, exe_, key_;
  DWORD pid_ = 0;
  HANDLE process_ = nullptr;
};

constexpr const char* kCaption = "QX Laser L2020";  // the small and the large window
constexpr int kSmallHeight = 260;

TEST_F(MonitorRun, AJobFromReadyThroughErrorsToTheEnd) {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  Announce();
  pid_ = MonitorProcess();
  ASSERT_NE(pid_, 0u);

  // Ready: the small window, bottom right, hidden by the popup timer after 10 s.
  ASSERT_TRUE(WaitVisible(kCaption, kSmallHeight, true, 20000)) << trace_.Text();
  Shown small = Find(kCaption, kSmallHeight);
  EXPECT_EQ(small.rect.left, work.right - 480);
  EXPECT_EQ(small.rect.top, work.bottom - 260);
  EXPECT_FALSE(Visible("Toner Low"));
  ASSERT_TRUE(WaitVisible(kCaption, kSmallHeight, false, 20000));

  // A paper jam pops it again; a memory overflow adds its own window.
  World("04 06 00 00 00 32 0A 00", 1);
  ASSERT_TRUE(WaitVisible(kCaption, kSmallHeight, true, 15000)) << trace_.Text();
  EXPECT_TRUE(trace_.Contains("sm is hided so repopup..."));
  World("04 09 00 00 00 32 0A 00", 1);
  ASSERT_TRUE(WaitVisible("Memory Overflow", 0, true, 15000)) << trace_.Text();
  // Toner low (an error too): the memory-overflow window goes, the small one
  // stays until the 30 s of an error have passed.
  World("04 05 02 00 00 05 0A 00", 1);
  ASSERT_TRUE(WaitVisible("Memory Overflow", 0, false, 15000));
  EXPECT_TRUE(Visible(kCaption, kSmallHeight));
  ASSERT_TRUE(WaitVisible(kCaption, kSmallHeight, false, 45000));
  EXPECT_TRUE(trace_.Contains("SMPopupedTimer is resetted (Error Status) while polling"));

  // A second job while the toner is low: the low-toner window under the small one.
  Announce();
  ASSERT_TRUE(WaitVisible("Toner Low", 0, true, 20000)) << trace_.Text();
  ASSERT_TRUE(WaitVisible(kCaption, kSmallHeight, true, 5000));
  Shown low = Find("Toner Low");
  small = Find(kCaption, kSmallHeight);
  EXPECT_EQ(low.rect.top, work.bottom - 270);
  EXPECT_EQ(small.rect.top, work.bottom - 530);

  // Back to ready with an empty queue: the monitor ends 10 s after it sees that.
  World("01 01 00 00 00 32 0A 00", 0);
  ASSERT_NE(process_, nullptr);
  EXPECT_EQ(WaitForSingleObject(process_, 40000), WAIT_OBJECT_0) << trace_.Text();
  DWORD code = 99;
  GetExitCodeProcess(process_, &code);
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(trace_.Contains("Terminate Timer setted - normal status"));
  EXPECT_TRUE(trace_.Contains("Port Release"));
}

// HKEY_CLASSES_ROOT http\shell\open\command for the test's length.
class HttpCommand {
 public:
  explicit HttpCommand(const std::string& command) {
    char value[1024] = {};
    LONG size = sizeof(value);
    had_ = RegQueryValueA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", value, &size) == ERROR_SUCCESS;
    if (had_) previous_ = value;
    RegSetValueA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", REG_SZ, command.c_str(),
                 static_cast<DWORD>(command.size()));
  }
  ~HttpCommand() {
    if (had_)
      RegSetValueA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", REG_SZ, previous_.c_str(),
                   static_cast<DWORD>(previous_.size()));
    else
      RegDeleteKeyA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command");
  }

 private:
  bool had_ = false;
  std::string previous_;
};

TEST_F(MonitorRun, TonerModeOrderLinkOpensTheRegisteredBrowser) {
  std::string record = dir_.File("browser.txt");
  HttpCommand http("\"" + smtest::BuildFile("tests\\statmon\\smurlrecord.exe") + "\" \"" + record + "\"");
  qx::test::Process monitor;
  ASSERT_TRUE(monitor.Start(exe_, "", Env(), dir_.Path()));  // no arguments: toner mode
  pid_ = monitor.Id();
  ASSERT_TRUE(WaitVisible("Order Toner", 0, true, 20000)) << trace_.Text();
  EXPECT_TRUE(trace_.Contains("Show OrderTonerDlg in App"));
  EXPECT_TRUE(trace_.Contains("$$$$$$$ servicetag(QX7F3K2)"));
  HWND order = Find("Order Toner").hwnd;

  PostMessageA(order, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(160, 100));  // on the link
  ASSERT_TRUE(smtest::WaitFor([&] { return qx::test::FileExists(record); })) << trace_.Text();
  std::string line;
  smtest::WaitFor([&] { return !(line = TempDir::Read(record)).empty(); });
  const std::string prefix = "http://www.qxprint.example/supplies/order.asp?LC=";
  size_t url = line.find(prefix);
  ASSERT_NE(url, std::string::npos) << line;
  std::string lc = line.substr(url + prefix.size(), 8);  // the detected country
  EXPECT_EQ(lc.find_first_not_of("0123456789ABCDEF"), std::string::npos) << line;
  EXPECT_EQ(line.substr(url + prefix.size() + 8), "&ST=QX7F3K2&MD=L2020&KTS=1000&KCMY=00&KTL=50/") << line;

  // A click beside the link opens nothing.
  DeleteFileA(record.c_str());
  SendMessageA(order, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(140, 200));
  EXPECT_FALSE(qx::test::FileExists(record));

  // Closing it without a job ends the monitor.
  PostMessageA(order, WM_COMMAND, IDCANCEL, 0);
  DWORD code = 99;
  EXPECT_TRUE(monitor.Wait(20000, &code)) << trace_.Text();
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(trace_.Contains("not polling status.. so exit process"));
}

}  // namespace
