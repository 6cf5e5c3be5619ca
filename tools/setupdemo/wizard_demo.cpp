#include "tools/setupdemo/wizard_demo.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <set>

#include "framework/handles.h"
#include "tools/setupdemo/report.h"
#include "tools/setupdemo/screen_shot.h"
#include "tools/wizarddrive/history_check.h"
#include "tools/wizarddrive/page_driver.h"

namespace demo {
namespace {

constexpr int kBrowserEdit = 0x3744;       // the typed path of the system's folder browser
constexpr int kDestinationPathId = 1021;   // the item page's destination text
constexpr int kCheckAllId = 1052, kRemoveId = 1004;  // the uninstall page's buttons
constexpr DWORD kPageMs = 60000, kRunMs = 5 * 60 * 1000;
const char* const kAddRemoveRoot = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

class WizardRun {
 public:
  WizardRun(const WizardProduct& product, const std::string& pictureDir)
      : product_(product), pictureDir_(pictureDir) {}
  ~WizardRun() { End(); }

  std::string Text(const char* key) const {
    return Profile(product_.medium + "\\Lang\\setupEN.str", "MESSAGES", key);
  }

  bool Start(const std::string& program, const std::string& arguments, const char* answer) {
    End();
    SetEnvironmentVariableA("QX_MESSAGE_BOX_ANSWER", answer);
    process_ = StartProgram(program, arguments);
    if (!process_) return false;
    pid_ = GetProcessId(process_);
    std::printf("\n== %s %s\n", program.c_str(), arguments.c_str());
    return true;
  }

  // Waits for the run to end; its exit code, or 99 when it had to be stopped.
  DWORD Finish() {
    if (!process_) return 99;
    DWORD code = 99;
    if (WaitForSingleObject(process_, kRunMs) == WAIT_OBJECT_0) {
      GetExitCodeProcess(process_, &code);
    } else {
      std::printf("the run did not end and was stopped\n");
      TerminateProcess(process_, 99);
    }
    End();
    return code;
  }

  HWND Page(const char* className, const std::string& text, const char* what, DWORD ms = kPageMs) {
    HWND page = drive::WaitForPage(pid_, className, text, ms);
    if (!page) {
      std::printf("  page NOT shown: %s\n", what);
      ok_ = false;
    }
    return page;
  }

  HWND Window(const std::function<bool(HWND)>& predicate, const char* what, DWORD ms = kPageMs) {
    HWND window = drive::WaitForWindow(pid_, predicate, ms);
    if (!window) {
      std::printf("  window NOT shown: %s\n", what);
      ok_ = false;
    }
    return window;
  }

  void Picture(HWND window, const char* name) {
    ++pages_;
    char file[64];
    std::snprintf(file, sizeof(file), "%02d-%s.bmp", pages_, name);
    std::string title = drive::WindowText(window);
    if (pictureDir_.empty()) {
      std::printf("  page %2d %-22s \"%s\"\n", pages_, name, title.c_str());
      return;
    }
    std::string path = pictureDir_ + "\\" + file;
    bool saved = SaveWindowPicture(window, path);
    const char* why = IsWindowVisible(window) ? " (no picture: the display gives none)"
                                              : " (no picture: the page passed before it was taken)";
    std::printf("  page %2d %-22s \"%s\"%s\n", pages_, name, title.c_str(),
                saved ? (" -> " + std::string(file)).c_str() : why);
  }

  void Fail(const char* what) {
    std::printf("  FAILED: %s\n", what);
    ok_ = false;
  }

  bool ok() const { return ok_; }
  int pages() const { return pages_; }
  DWORD pid() const { return pid_; }

 private:
  void End() {
    if (process_) CloseHandle(process_);
    process_ = nullptr;
  }

  const WizardProduct& product_;
  std::string pictureDir_;
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
  int pages_ = 0;
  bool ok_ = true;
};

// The Add/Remove Programs entry whose uninstall command starts from the folder.
std::string UninstallCommandIn(const std::string& folder) {
  for (const auto& name : Subkeys(kAddRemoveRoot)) {
    std::string command = RegString(std::string(kAddRemoveRoot) + "\\" + name, "UninstallString");
    if (!folder.empty() && command.find(folder + "\\") != std::string::npos) return command;
  }
  return std::string();
}

// Splits "\"program\" arguments".
void SplitCommand(const std::string& command, std::string* program, std::string* arguments) {
  size_t end = command.size() > 1 && command[0] == '"' ? command.find('"', 1) : std::string::npos;
  if (end == std::string::npos) {
    size_t space = command.find(' ');
    *program = command.substr(0, space);
    *arguments = space == std::string::npos ? "" : command.substr(space + 1);
    return;
  }
  *program = command.substr(1, end - 1);
  *arguments = end + 2 <= command.size() ? command.substr(end + 2) : "";
}

bool InstallThroughTheWizard(WizardRun& run, const WizardProduct& product, std::string* chosen) {
  if (!run.Start(product.medium + "\\setup.exe", "", "6")) return false;  // Yes: create the new folder
  HWND welcome = run.Page("Button", run.Text("BTN_NEXT"), "welcome");
  if (!welcome) return false;
  run.Picture(welcome, "welcome");
  drive::ClickObject(drive::FindChild(welcome, "Button", run.Text("BTN_NEXT").c_str()));

  const std::string installLink = run.Text("LINK_INSTALL_LOCAL");
  HWND menu = run.Page("Static", installLink, "main menu");
  if (!menu) return false;
  run.Picture(menu, "menu");
  HWND licenceLink = drive::FindChild(menu, "Static", run.Text("LINK_LICENSE").c_str());
  if (licenceLink) {
    drive::ClickObject(licenceLink);
    HWND licence = run.Window([&](HWND w) {
      return w != menu && drive::FindChild(w, "Edit") && drive::FindChild(w, "Button", run.Text("BTN_OK").c_str());
    }, "licence");
    if (licence) {
      run.Picture(licence, "licence");
      drive::ClickButton(drive::FindChild(licence, "Button", run.Text("BTN_OK").c_str()));
      if (!drive::WaitUntil([&] { return !IsWindowVisible(licence) && IsWindowVisible(menu); })) {
        run.Fail("the licence viewer did not close");
      }
    }
  }
  drive::ClickObject(drive::FindChild(menu, "Static", installLink.c_str()));

  HWND items = run.Page("Button", run.Text("BTN_BROWSE"), "items");
  if (!items) return false;
  HWND list = drive::FindChild(items, "SysListView32");
  if (!list || !drive::WaitUntil([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0; })) {
    run.Fail("the item list stayed empty");
    return false;
  }
  // A choice of items: the last row is left out (a fixed row would not change).
  int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  drive::ClickListRow(list, rows - 1);
  run.Picture(items, "items");

  // Another destination, typed into the folder browser; the new folder is made on Yes.
  HWND path = GetDlgItem(items, kDestinationPathId);
  std::string offered = drive::WindowText(path);
  *chosen = (offered.empty() ? std::string("C:\\Program Files\\Product") : offered) + " Demo";
  drive::ClickButton(drive::FindChild(items, "Button", run.Text("BTN_BROWSE").c_str()));
  HWND browser = run.Window([](HWND w) { return GetDlgItem(w, kBrowserEdit) != nullptr; }, "folder browser");
  if (!browser) return false;
  SendDlgItemMessageA(browser, kBrowserEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen->c_str()));
  run.Picture(browser, "folder-browser");
  PostMessageA(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  if (!drive::WaitUntil([&] { return drive::WindowText(path) == *chosen; })) {
    run.Fail("the typed destination did not reach the item page");
    return false;
  }
  run.Picture(items, "items-destination");
  drive::ClickButton(drive::FindChild(items, "Button", run.Text("BTN_INSTALL").c_str()));

  // The progress page, while it is up (a fast install may pass it by).
  HWND progress = drive::WaitForPage(run.pid(), "Static", run.Text("MSG_INSTALLING"), 10000);
  if (progress) run.Picture(progress, "installing");
  HWND finish = run.Page("Button", run.Text("BTN_FINISH"), "finish", kRunMs);
  if (!finish) return false;
  run.Picture(finish, "finish");
  HWND testPage = drive::FindChild(finish, "Button", run.Text("BTN_TESTPAGE").c_str());
  if (testPage) {
    drive::ClickButton(testPage);
    std::printf("  test page sent to the printer\n");
  }
  drive::ClickButton(drive::FindChild(finish, "Button", run.Text("BTN_FINISH").c_str()));
  DWORD code = run.Finish();
  std::printf("install run ended with exit code %lu\n", code);
  return code == 1;
}

bool UninstallThroughTheWizard(WizardRun& run, const std::string& command) {
  std::string program, arguments;
  SplitCommand(command, &program, &arguments);
  if (!run.Start(program, arguments, "1")) return false;
  HWND removal = run.Window([](HWND w) { return GetDlgItem(w, kCheckAllId) != nullptr; }, "uninstall items");
  if (!removal) return false;
  run.Picture(removal, "uninstall-items");
  // The page ticks every row when its check-all box is ticked; the rows'
  // states are the page's own, drawn by it, not the list's state images.
  HWND checkAll = GetDlgItem(removal, kCheckAllId);
  drive::ClickButton(checkAll);
  drive::WaitUntil([&] { return SendMessageA(checkAll, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 5000);
  run.Picture(removal, "uninstall-all-ticked");
  drive::ClickButton(GetDlgItem(removal, kRemoveId));
  HWND progress = drive::WaitForPage(run.pid(), "Static", run.Text("MSG_UNINSTALLING"), 10000);
  if (progress) run.Picture(progress, "uninstalling");
  HWND done = run.Page("Button", run.Text("BTN_CLOSE"), "uninstall done", kRunMs);
  if (!done) return false;
  run.Picture(done, "uninstall-done");
  drive::ClickObject(drive::FindChild(done, "Button", run.Text("BTN_CLOSE").c_str()));
  DWORD code = run.Finish();
  std::printf("uninstall run ended with exit code %lu\n", code);
  // The clear run it handed over to waits for it, then replays the history.
  std::string exe = program.substr(program.rfind('\\') + 1);
  if (!drive::WaitUntil([&] { return !drive::ProcessRunning(exe.c_str()); }, kRunMs)) {
    run.Fail("the clear run did not end");
    return false;
  }
  std::printf("the clear run has ended\n");
  return code == 1;
}

}  // namespace

bool RunWizardDemo(const WizardProduct& product, const std::string& pictureDir) {
  if (!pictureDir.empty()) CreateDirectoryA(pictureDir.c_str(), nullptr);
  WizardRun run(product, pictureDir);
  std::string chosen;
  bool installed = InstallThroughTheWizard(run, product, &chosen);
  std::printf("\n== items after the wizard install (destination typed: %s)\n", chosen.c_str());
  int count = ReportItems(product.installKey);
  const std::string destination = RegString(product.installKey, "Installed_Dir");
  const std::vector<RecordedEntry> recorded = ReadHistory(product.uninstallKey);
  const std::vector<std::string> shortcuts = RecordedShortcuts(product.installKey);
  const std::string command = UninstallCommandIn(destination);
  std::printf("%d installed into %s; %zu history entries; uninstall command: %s\n", count, destination.c_str(),
              recorded.size(), command.empty() ? "NONE" : command.c_str());
  bool destinationAsTyped = !chosen.empty() && _stricmp(destination.c_str(), chosen.c_str()) == 0;
  if (!installed || count == 0 || command.empty() || !destinationAsTyped) {
    std::printf("wizard install: FAILED\n");
    return false;
  }

  bool uninstalled = UninstallThroughTheWizard(run, command);
  int left = CountLeftBehind(recorded, shortcuts, destination, product.productKey);
  if (!UninstallCommandIn(destination).empty()) {
    ++left;
    std::printf("  LEFT BEHIND (Add/Remove Programs entry) for %s\n", destination.c_str());
  }
  std::printf("wizard: %d pages passed, %zu recorded entries checked, %d left behind\n", run.pages(),
              recorded.size(), left);
  return installed && uninstalled && run.ok() && left == 0;
}

}  // namespace demo
