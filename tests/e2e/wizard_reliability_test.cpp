// Reliability of the install and uninstall wizard, judged on the whole Wine
// prefix (every key and value of the local machine and the current user,
// every file of drive C, which holds the tests' own folders): an install of
// every item and its uninstall leave it as it was; so does a cancel on any
// page; and after setup.exe is killed part-way, the uninstall the product
// offers leaves nothing of what the run had recorded.
#include <windows.h>
#include <tlhelp32.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"
#include "tests/e2e/prefix_snapshot.h"
#include "tests/support/watchdog.h"
#include "tools/wizarddrive/history_check.h"
#include "tools/wizarddrive/page_driver.h"

namespace {

const char* const kItems[] = {"L2020_PRINTER", "STATUS_MONITOR", "NET_SCAN_MANAGER",
                              "DEVICE_UTILITY", "USER_MANUAL",   "LEGACY_TWAIN"};

bool StartsWith(const std::string& text, const std::string& start) {
  return text.size() >= start.size() && _strnicmp(text.c_str(), start.c_str(), start.size()) == 0;
}

class WizardReliability : public ::testing::Test {
 protected:
  void SetUp() override { qx::test::SetWatchdogLimit(400); }

  std::string Text(const char* key) const {
    char text[1024] = "";
    GetPrivateProfileStringA("MESSAGES", key, "", text, sizeof(text), (medium_.Dir() + "\\Lang\\setupEN.str").c_str());
    return text;
  }
  std::string ItemKey(const char* item) const { return medium_.Identity().InstallKey() + "\\Items\\" + item; }
  std::string InstalledCopy() const { return medium_.DestDir() + "\\Install\\setup.exe"; }

  // What differs from `before`, in two lists: what the product left, and what
  // Wine keeps for itself whatever program made a printer. Not counted:
  // - the run's own log and trace, which the test asked for;
  // - the spooler's containers, made empty on the first printer and driver a
  //   prefix ever gets, which stay when the last one goes (as on Windows).
  // The clear run's own copy in the temporary folder is counted: it must be
  // gone, and no deletion may wait for the next start of the system.
  struct Residue {
    std::vector<std::string> product, wine;
  };
  Residue Left(const e2e::PrefixSnapshot& before) const {
    static const char* const spoolerContainers[] = {
        "+ HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Devices",
        "+ HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\PrinterPorts",
        "+ HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows",
        "+ HKLM\\System\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers",
        "+ HKLM\\System\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\Version-3",
    };
    Residue left;
    for (const auto& line : e2e::Difference(before, e2e::SnapshotPrefix())) {
      std::string path = line.substr(2);
      if (StartsWith(path, medium_.LogPath()) || StartsWith(path, medium_.TracePath())) continue;
      bool container = false;
      for (const char* c : spoolerContainers) container = container || line == c;
      (container ? left.wine : left.product).push_back(line);
    }
    return left;
  }

  // Welcome, Next; the main menu's install link: the item page.
  HWND OpenItemPage(const qx::test::Process& run) {
    HWND welcome = drive::WaitForPage(run.Id(), "Button", Text("BTN_NEXT"));
    if (!welcome) return nullptr;
    drive::ClickObject(drive::FindChild(welcome, "Button", Text("BTN_NEXT").c_str()));
    HWND menu = drive::WaitForPage(run.Id(), "Static", Text("LINK_INSTALL_LOCAL"));
    if (!menu) return nullptr;
    drive::ClickObject(drive::FindChild(menu, "Static", Text("LINK_INSTALL_LOCAL").c_str()));
    HWND items = drive::WaitForPage(run.Id(), "Button", Text("BTN_BROWSE"));
    HWND list = items ? drive::FindChild(items, "SysListView32") : nullptr;
    if (!list || !drive::WaitUntil([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) >= 4; })) return nullptr;
    return items;
  }

  // The item page with every item ticked (the network scan manager is the one
  // not ticked at first), then Install: the scan note, and Install there.
  bool InstallEverything(const qx::test::Process& run) {
    HWND items = OpenItemPage(run);
    if (!items) return false;
    if (!drive::ClickListRow(drive::FindChild(items, "SysListView32"), 2)) return false;
    drive::ClickButton(drive::FindChild(items, "Button", Text("BTN_INSTALL").c_str()));
    HWND note = drive::WaitForPage(run.Id(), "Static", Text("MSG_NETSCAN_TITLE"));
    if (!note) return false;
    drive::ClickObject(drive::FindChild(note, "Button", Text("BTN_INSTALL").c_str()));
    return true;
  }

  // setup.exe /UNINSTALL (the installed copy, as Add/Remove Programs starts
  // it, unless another program is named): select all, Remove, Close; then the
  // clear run ends.
  void UninstallThroughTheWizard(const std::string& program = "") {
    qx::test::Process run;
    qx::test::Environment environment = medium_.RunEnvironment(medium_.TempDir(), 1);
    ASSERT_TRUE(run.Start(program.empty() ? InstalledCopy() : program, "/UNINSTALL", environment));
    HWND removal = drive::WaitForWindow(run.Id(), [](HWND w) { return GetDlgItem(w, 1052) != nullptr; }, 60000);
    ASSERT_NE(removal, nullptr) << medium_.Log();
    std::string why;
    ASSERT_TRUE(drive::TickAllAndPress(removal, 1052, 1004, 60000, &why))
        << why << "\n" << drive::DescribeWindows(run.Id()) << medium_.Log();
    HWND done = drive::WaitForPage(run.Id(), "Button", Text("BTN_CLOSE"));
    ASSERT_NE(done, nullptr) << drive::DescribeWindows(run.Id()) << medium_.Log();
    drive::ClickObject(drive::FindChild(done, "Button", Text("BTN_CLOSE").c_str()));
    ASSERT_TRUE(run.Wait(90000)) << medium_.Log();
    WaitForQuiet();
  }

  // The clear run alone, as the delete-all hand-over starts it.
  void ClearRun() {
    EXPECT_EQ(medium_.Run("/CLEAR /CLS " + medium_.Identity().Program() + " /REG " + medium_.Identity().UninstallKey()),
              1)
        << medium_.Log();
    WaitForQuiet();
  }

  // No installer, clear run or item program of the medium runs any more, nor
  // the command interpreter that started the clear run.
  static void WaitForQuiet() {
    EXPECT_TRUE(drive::WaitUntil(
        [] {
          for (const char* program : {"setup.exe", "sampleitem.exe", "cmd.exe", "start.exe"}) {
            if (drive::ProcessRunning(program)) return false;
          }
          return true;
        },
        120000))
        << RunningPrograms();
  }

  static std::string RunningPrograms() {
    std::string list;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return list;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
      char line[400];
      std::snprintf(line, sizeof(line), "%s (process %lu, parent %lu, %lu threads)\n", entry.szExeFile,
                    entry.th32ProcessID, entry.th32ParentProcessID, entry.cntThreads);
      list += line;
    }
    CloseHandle(snapshot);
    return list;
  }

  static void Show(const char* title, const Residue& left) {
    std::printf("[ prefix   ] %s: %zu difference(s) by the product\n%s", title, left.product.size(),
                e2e::Lines(left.product).c_str());
    std::printf("[ prefix   ] %s: %zu of Wine's own bookkeeping\n%s", title, left.wine.size(),
                e2e::Lines(left.wine).c_str());
  }

  e2e::SetupMedium medium_;
};

TEST_F(WizardReliability, EveryItemInstalledThenUninstalledLeavesThePrefixAsItWas) {
  const e2e::PrefixSnapshot before = e2e::SnapshotPrefix();
  qx::test::Process install;
  ASSERT_TRUE(medium_.Start(&install, "", {{"QX_MESSAGE_BOX_ANSWER", "6"}}));
  ASSERT_TRUE(InstallEverything(install)) << medium_.Log();
  HWND finish = drive::WaitForPage(install.Id(), "Button", Text("BTN_FINISH"), 120000);
  ASSERT_NE(finish, nullptr) << medium_.Log();
  int items = 0;
  for (const char* item : kItems) {
    DWORD done = e2e::ReadDword(ItemKey(item), "Install_OK");
    if (done == 0xDEADBEEF) continue;  // not offered on this system (the legacy TWAIN driver)
    ++items;
    EXPECT_EQ(done, 1u) << item;
  }
  EXPECT_EQ(items, 5);
  drive::ClickButton(drive::FindChild(finish, "Button", Text("BTN_FINISH").c_str()));
  ASSERT_TRUE(install.Wait(90000)) << medium_.Log();
  WaitForQuiet();
  const std::vector<std::string> installed = e2e::Difference(before, e2e::SnapshotPrefix());
  EXPECT_FALSE(installed.empty());

  UninstallThroughTheWizard();
  // The clear run's copy goes as the interpreter that waited for it ends.
  const std::string copy = medium_.TempDir() + "\\setup.exe";
  EXPECT_TRUE(drive::WaitUntil([&] { return !qx::test::FileExists(copy); }, 30000));
  const Residue left = Left(before);
  Show("after install and uninstall", left);
  EXPECT_TRUE(left.product.empty()) << e2e::Lines(left.product) << medium_.Trace();
}

// Cancel (answered OK) after walking this many pages: the welcome page, the
// main menu, the item page, and the item page again after its Next wrote the
// item records (the scan note, Back).
TEST_F(WizardReliability, CancelOnEveryPageLeavesThePrefixAsItWas) {
  struct Case {
    const char* page;
    int pagesWalked;
  } cases[] = {{"welcome", 0}, {"main menu", 1}, {"items", 2}, {"items after the records", 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    const e2e::PrefixSnapshot before = e2e::SnapshotPrefix();
    qx::test::Process run;
    ASSERT_TRUE(medium_.Start(&run, "", {{"QX_MESSAGE_BOX_ANSWER", "1"}}));
    HWND page = drive::WaitForPage(run.Id(), "Button", Text("BTN_NEXT"));
    ASSERT_NE(page, nullptr) << medium_.Log();
    if (c.pagesWalked == 1) {
      drive::ClickObject(drive::FindChild(page, "Button", Text("BTN_NEXT").c_str()));
      page = drive::WaitForPage(run.Id(), "Static", Text("LINK_INSTALL_LOCAL"));
    } else if (c.pagesWalked >= 2) {
      page = OpenItemPage(run);
    }
    ASSERT_NE(page, nullptr) << medium_.Log();
    if (c.pagesWalked == 3) {
      ASSERT_TRUE(drive::ClickListRow(drive::FindChild(page, "SysListView32"), 2));
      drive::ClickButton(drive::FindChild(page, "Button", Text("BTN_INSTALL").c_str()));
      HWND note = drive::WaitForPage(run.Id(), "Static", Text("MSG_NETSCAN_TITLE"));
      ASSERT_NE(note, nullptr) << medium_.Log();
      ASSERT_EQ(e2e::ReadDword(ItemKey("NET_SCAN_MANAGER"), "Install"), 1u);  // the records are there
      drive::ClickObject(drive::FindChild(note, "Button", Text("BTN_BACK").c_str()));
      ASSERT_TRUE(drive::WaitUntil([&] { return IsWindowVisible(page) && !IsWindowVisible(note); }));
    }
    drive::ClickObject(drive::FindChild(page, "Button", Text("BTN_CANCEL").c_str()));
    DWORD code = 0;
    ASSERT_TRUE(run.Wait(60000, &code)) << medium_.Log();
    EXPECT_EQ(code, 1u);
    WaitForQuiet();
    const Residue left = Left(before);
    Show(c.page, left);
    EXPECT_TRUE(left.product.empty()) << e2e::Lines(left.product);
  }
}

// setup.exe killed at one point of the install (one test a point, each on
// a medium and identity of its own); then the uninstall the product offers
// (below). Nothing the run recorded is left, and the prefix is as it was.
// "While ... runs": the item program is held half-way (QX_ITEM_HOLD); it
// goes on by itself after the kill. "... done": the library reported the
// item; the next item program is being started at the kill. The printer's
// own program is no point: a printer item counts as installed only while a
// printer of its driver is in the spooler, which the library adds after the
// program, so a kill while that program runs leaves the program's files
// unoffered for removal (nor is the utility's: the printer's starts right
// after it).
class KilledInstall;
struct KillPoint {
  const char* name;
  const char* held;  // the item program's component held half-way (its payload copied, no record yet)
  std::function<bool(const KilledInstall&, const qx::test::Process&)> reached;
};

void PrintTo(const KillPoint& point, std::ostream* out) { *out << point.name; }

class KilledInstall : public WizardReliability, public ::testing::WithParamInterface<KillPoint> {
 public:
  using WizardReliability::InstalledCopy;
  using WizardReliability::ItemKey;
  using WizardReliability::Text;
  bool ItemInstalled(const char* item) const { return e2e::ReadDword(ItemKey(item), "Install_OK") == 1; }
  // The installation library's own reports, from the trace.
  bool Reported(const char* state, const char* item) const {
    return medium_.Trace().find(std::string("[qxexec] ") + state + " [" + item + "]") != std::string::npos;
  }
  bool ItemDone(const char* item) const { return Reported("STATE_INSTALL_SUCCESS", item); }
  std::string HoldFile() const { return medium_.TempDir() + "\\item-hold.txt"; }
  // The held item program is waiting with its payload copied.
  bool ItemHeld() const { return GetFileAttributesA((HoldFile() + ".held").c_str()) != INVALID_FILE_ATTRIBUTES; }

 protected:
  // The killed installer's item programs end by themselves, but under Wine one
  // created at the moment of the kill can stay in its start-up for good (seen:
  // its one thread at the loader's entry, main never reached; it may be listed
  // only a moment later). Those still there after the others had their time
  // are ended, as a person ends a hung task.
  static int EndStuckChildren(DWORD parent) {
    auto children = [parent] {
      std::vector<DWORD> ids;
      HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
      if (snapshot == INVALID_HANDLE_VALUE) return ids;
      PROCESSENTRY32 entry{};
      entry.dwSize = sizeof(entry);
      for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID == parent) ids.push_back(entry.th32ProcessID);
      }
      CloseHandle(snapshot);
      return ids;
    };
    // Two quiet seconds in a row, or ten seconds in all.
    DWORD start = GetTickCount(), quietSince = GetTickCount();
    while (GetTickCount() - start < 10000 && GetTickCount() - quietSince < 2000) {
      if (!children().empty()) quietSince = GetTickCount();
      Sleep(50);
    }
    int ended = 0;
    for (DWORD id : children()) {
      HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
      if (!process) continue;
      if (TerminateProcess(process, 99) && WaitForSingleObject(process, 10000) == WAIT_OBJECT_0) ++ended;
      CloseHandle(process);
    }
    return ended;
  }
};

TEST_P(KilledInstall, TheOfferedUninstallLeavesNothingRecorded) {
  const KillPoint& point = GetParam();
  const DWORD started = GetTickCount();
  auto seconds = [&] { return (GetTickCount() - started) / 1000.0; };
  const e2e::PrefixSnapshot before = e2e::SnapshotPrefix();
  std::printf("[ killed   ] %s: snapshot taken at %.1f s\n", point.name, seconds());
  if (point.held) {
    std::FILE* hold = std::fopen(HoldFile().c_str(), "w");
    ASSERT_NE(hold, nullptr);
    std::fputs(point.held, hold);
    std::fclose(hold);
  }
  qx::test::Process install;
  ASSERT_TRUE(medium_.Start(&install, "", {{"QX_MESSAGE_BOX_ANSWER", "6"}, {"QX_ITEM_HOLD", HoldFile()}}));
  ASSERT_TRUE(InstallEverything(install)) << medium_.Log();
  ASSERT_TRUE(drive::WaitUntil([&] { return point.reached(*this, install); }, 120000)) << medium_.Log();
  const DWORD killed = install.Id();
  install.Kill();
  DeleteFileA(HoldFile().c_str());  // the held program goes on by itself
  DeleteFileA((HoldFile() + ".held").c_str());
  const int stuck = EndStuckChildren(killed);
  WaitForQuiet();
  const std::vector<demo::RecordedEntry> recorded = demo::ReadHistory(medium_.Identity().UninstallKey());
  EXPECT_FALSE(recorded.empty());

  // What the product offers: the Add/Remove entry's uninstall (the installed
  // copy) once the finish registered it; before that the medium's own
  // /UNINSTALL when an item counts as installed (only the installation
  // library can take an item out again); else the clear run of the history.
  bool registered = qx::test::KeyExists(HKEY_LOCAL_MACHINE, medium_.AddRemoveKey());
  bool anyInstalled = false;
  for (const char* item : kItems) anyInstalled = anyInstalled || ItemInstalled(item);
  std::printf("[ killed   ] %s: killed at %.1f s, %d item program(s) stuck in their start-up ended, %zu entries "
              "recorded; uninstall by %s\n",
              point.name, seconds(), stuck, recorded.size(),
              registered     ? "the installed copy's /UNINSTALL"
              : anyInstalled ? "the medium's /UNINSTALL"
                             : "the clear run");
  if (registered) {
    UninstallThroughTheWizard();
  } else if (anyInstalled) {
    UninstallThroughTheWizard(medium_.Exe());
  } else {
    ClearRun();
  }
  for (const auto& entry : recorded) {
    EXPECT_FALSE(demo::StillExists(entry)) << demo::KindName(entry.kind) << " " << entry.text;
  }
  EXPECT_FALSE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, medium_.Identity().Root()));
  EXPECT_FALSE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, medium_.AddRemoveKey()));
  const Residue left = Left(before);
  std::printf("[ killed   ] %s: uninstalled at %.1f s\n", point.name, seconds());
  Show(point.name, left);
  EXPECT_TRUE(left.product.empty()) << e2e::Lines(left.product) << medium_.Log();
}

INSTANTIATE_TEST_SUITE_P(
    TenPoints, KilledInstall,
    ::testing::Values(
        KillPoint{"right after the item page's Next", nullptr,
                  [](const KilledInstall& t, const qx::test::Process&) {
                    return e2e::ReadDword(t.ItemKey("L2020_PRINTER"), "Install") == 1;
                  }},
        KillPoint{"the installer's copy placed", nullptr,
                  [](const KilledInstall& t, const qx::test::Process&) {
                    return GetFileAttributesA(t.InstalledCopy().c_str()) != INVALID_FILE_ATTRIBUTES;
                  }},
        KillPoint{"the printer done", nullptr,
                  [](const KilledInstall& t, const qx::test::Process&) { return t.ItemDone("L2020_PRINTER"); }},
        KillPoint{"while the scan manager's program runs", "netscan",
                  [](const KilledInstall& t, const qx::test::Process&) { return t.ItemHeld(); }},
        KillPoint{"the scan manager done", nullptr,
                  [](const KilledInstall& t, const qx::test::Process&) { return t.ItemDone("NET_SCAN_MANAGER"); }},
        KillPoint{"while the status monitor's program runs", "statmon",
                  [](const KilledInstall& t, const qx::test::Process&) { return t.ItemHeld(); }},
        KillPoint{"the status monitor done", nullptr,
                  [](const KilledInstall& t, const qx::test::Process&) { return t.ItemDone("STATUS_MONITOR"); }},
        KillPoint{"while the manual's program runs", "manual",
                  [](const KilledInstall& t, const qx::test::Process&) { return t.ItemHeld(); }},
        KillPoint{"every item done", nullptr,
                  [](const KilledInstall& t, const qx::test::Process&) { return t.ItemDone("USER_MANUAL"); }},
        KillPoint{"on the finish page", nullptr,
                  [](const KilledInstall& t, const qx::test::Process& run) {
                    return drive::WaitForPage(run.Id(), "Button", t.Text("BTN_FINISH"), 0) != nullptr;
                  }}),
    [](const ::testing::TestParamInfo<KillPoint>& info) { return "Point" + std::to_string(info.index + 1); });

}  // namespace
