// The network-printer and remote wizards of setup.exe on a private copy of the
// sample medium, with a world the test writes: the printer search lists exactly
// the printers whose description holds both finding strings, a printer without
// an address cannot be chosen, and Next records the chosen printer's port; the
// client page refuses a wrong account and computers the world refuses, keeps a
// computer once, and writes Remote_Info; the password appears in no log line,
// no trace and no file left behind. The network install puts the printer in
// the spooler, the settings page's choices reach it, the uninstall removes it.
#include <windows.h>
#include <commctrl.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <type_traits>
#include <vector>

#include "tests/e2e/e2e_support.h"
#include "tools/wizarddrive/page_driver.h"
#include "tests/support/temp_dir.h"
#include "tests/support/watchdog.h"

namespace {

constexpr const char* kPassword = "e2e-Secret-77";

std::string Message(const std::string& stringFile, const char* key) {
  char text[1024] = "";
  GetPrivateProfileStringA("MESSAGES", key, "", text, sizeof(text), stringFile.c_str());
  return text;
}

// Runs a list-view request whose block lives in the other process's memory.
template <typename Block>
bool RemoteCall(HWND list, UINT message, WPARAM wParam, Block* block, size_t extra = 0, char* text = nullptr,
                size_t textSize = 0) {
  DWORD pid = 0;
  GetWindowThreadProcessId(list, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return false;
  size_t size = sizeof(Block) + extra;
  char* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
  bool ok = false;
  if (remote) {
    Block copy = *block;
    if constexpr (std::is_same_v<Block, LVITEMA>) {
      if (text) copy.pszText = remote + sizeof(Block);
    }
    ok = WriteProcessMemory(process, remote, &copy, sizeof(copy), nullptr) &&
         SendMessageA(list, message, wParam, reinterpret_cast<LPARAM>(remote)) >= 0 &&
         ReadProcessMemory(process, remote, block, sizeof(Block), nullptr) &&
         (!text || ReadProcessMemory(process, remote + sizeof(Block), text, textSize, nullptr));
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return ok;
}

std::string RowText(HWND list, int row, int column) {
  char text[260] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.cchTextMax = sizeof(text);
  item.pszText = text;
  if (!RemoteCall(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), &item, sizeof(text), text, sizeof(text))) return "";
  text[sizeof(text) - 1] = 0;
  return text;
}

bool SelectRow(HWND list, int row) {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  return RemoteCall(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), &item);
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class NetworkWizard : public ::testing::Test {
 protected:
  void SetUp() override {
    qx::test::SetWatchdogLimit(300);
    std::string world =
        "[NetworkPrinter:office]\r\nName=QX Office\r\nIp=10.20.30.40\r\nMac=00:1B:2C:00:00:01\r\n"
        "Description=QX LASER L2020 (QX-L2020)\r\n"
        "[NetworkPrinter:other]\r\nName=Other Printer\r\nIp=10.20.30.41\r\nDescription=OTHER INKJET\r\n"
        "[NetworkPrinter:noaddress]\r\nName=QX Hidden\r\nDescription=qx laser l2020 qx-l2020\r\n"
        "[NetworkPrinter:late]\r\nName=QX Late\r\nIp=10.20.30.42\r\nDescription=QX-L2020 QX Laser L2020\r\n"
        "[Account:admin]\r\nUser=admin\r\nPassword=" + std::string(kPassword) + "\r\n"
        "[Account:clerk]\r\nUser=clerk\r\nPassword=clerk\r\n"
        "[Computer:1]\r\nName=CLIENT-01\r\nAdmins=admin\r\n"
        "[Computer:2]\r\nName=CLIENT-02\r\nOnline=0\r\nAdmins=admin\r\n"
        "[Computer:3]\r\nName=CLIENT-03\r\nAdmins=root\r\n";
    std::ofstream(medium_.Dir() + "\\world.ini", std::ios::binary) << world;
  }
  std::string T(const char* key) const { return Message(medium_.Dir() + "\\Lang\\setupEN.str", key); }
  HWND PageWith(const qx::test::Process& process, const char* className, const std::string& text) {
    return drive::WaitForWindow(process.Id(), [&](HWND window) {
      return drive::ClassName(window) == "#32770" && drive::FindChild(window, className, text.c_str());
    }, 60000);
  }
  // Message boxes are answered with `answer` (1 OK: the cancel question; 6 Yes: a new destination).
  HWND Menu(qx::test::Process& run, const char* answer = "1") {
    if (!medium_.Start(&run, "", {{"QX_MESSAGE_BOX_ANSWER", answer}})) return nullptr;
    HWND welcome = PageWith(run, "Button", T("BTN_NEXT"));
    if (!welcome) return nullptr;
    drive::ClickObject(drive::FindChild(welcome, "Button", T("BTN_NEXT").c_str()));
    return PageWith(run, "Static", T("LINK_INSTALL_NETWORK"));
  }
  // Cancel, and OK to the question: the run ends.
  bool Cancel(qx::test::Process& run, HWND page) {
    drive::ClickObject(drive::FindChild(page, "Button", T("BTN_CANCEL").c_str()));
    DWORD code = 0;
    if (run.Wait(60000, &code)) return code == 1;
    run.Kill();
    return false;
  }

  e2e::SetupMedium medium_;
};

TEST_F(NetworkWizard, TheSearchListsTheMatchingPrintersAndNextRecordsTheChosenPort) {
  qx::test::Process run;
  HWND menu = Menu(run);
  ASSERT_NE(menu, nullptr) << medium_.Log();
  drive::ClickObject(drive::FindChild(menu, "Static", T("LINK_INSTALL_NETWORK").c_str()));
  HWND page = PageWith(run, "Button", T("BTN_UPDATE"));
  ASSERT_NE(page, nullptr) << medium_.Log();
  HWND list = drive::FindChild(page, "SysListView32");
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(qx::test::WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 3; }, 30000))
      << SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
  // No USB printer in this world: the three listed rows are the network's.
  std::vector<std::string> names, ports;
  for (int i = 0; i < 3; ++i) {
    names.push_back(RowText(list, i, 0));
    ports.push_back(RowText(list, i, 1));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"QX Office", "QX Hidden", "QX Late"}));
  EXPECT_EQ(ports, (std::vector<std::string>{"10.20.30.40", "", "10.20.30.42"}));
  HWND next = drive::FindChild(page, "Button", T("BTN_NEXT").c_str());
  ASSERT_NE(next, nullptr);
  ASSERT_TRUE(SelectRow(list, 1));  // no address: refused
  EXPECT_FALSE(IsWindowEnabled(next));
  ASSERT_TRUE(SelectRow(list, 0));
  ASSERT_TRUE(qx::test::WaitFor([&] { return IsWindowEnabled(next) != FALSE; }, 10000));
  drive::ClickButton(next);
  HWND items = PageWith(run, "Button", T("BTN_BROWSE"));
  ASSERT_NE(items, nullptr) << medium_.Log();
  const std::string installKey = medium_.Identity().InstallKey();
  EXPECT_EQ(e2e::ReadString(installKey + "\\Port", "IP"), "10.20.30.40");
  EXPECT_EQ(e2e::ReadString(installKey + "\\Port", "MAC"), "00:1B:2C:00:00:01");
  EXPECT_EQ(e2e::ReadString(installKey + "\\Port", "Name"), "");
  EXPECT_EQ(e2e::ReadString(installKey, "Printer_Port"), "10.20.30.40");
  EXPECT_TRUE(Cancel(run, items)) << medium_.Log();
}

TEST_F(NetworkWizard, TheClientPageChecksTheAccountAndTheComputersAndWritesRemoteInfo) {
  qx::test::Process run;
  HWND menu = Menu(run);
  ASSERT_NE(menu, nullptr) << medium_.Log();
  drive::ClickObject(drive::FindChild(menu, "Static", T("LINK_INSTALL_REMOTE").c_str()));
  HWND page = PageWith(run, "Button", T("BTN_CHECK_ACCOUNT"));
  ASSERT_NE(page, nullptr) << medium_.Log();
  const std::string remoteKey = "Software\\" + medium_.Identity().Mfg() + "\\" + medium_.Identity().Program() + "\\Remote";
  HWND user = GetDlgItem(page, 1603), password = GetDlgItem(page, 1605), client = GetDlgItem(page, 1608);
  HWND add = GetDlgItem(page, 1611), next = GetDlgItem(page, 1613), list = GetDlgItem(page, 1609);
  auto setText = [](HWND edit, const std::string& text) {
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  };
  // A wrong password: the computer part stays closed.
  setText(user, "admin");
  setText(password, "wrong");
  drive::ClickButton(GetDlgItem(page, 1606));
  EXPECT_FALSE(IsWindowEnabled(add));
  setText(password, kPassword);
  drive::ClickButton(GetDlgItem(page, 1606));
  ASSERT_TRUE(qx::test::WaitFor([&] { return IsWindowEnabled(add) != FALSE; }, 10000)) << medium_.Log();
  // Each click is sent, so it ends before the next name is typed.
  for (const char* computer : {"CLIENT-02", "CLIENT-03", "client-01", "\\\\CLIENT-01"}) {
    setText(client, computer);
    SendMessageA(add, BM_CLICK, 0, 0);
  }
  ASSERT_TRUE(qx::test::WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 1; }, 10000));
  // The unreachable computer and the one where the account is no administrator.
  std::string log = medium_.Log();
  size_t refusals = 0;
  for (size_t at = log.find("[CEnterClientPCDlg] Check admin fail"); at != std::string::npos;
       at = log.find("[CEnterClientPCDlg] Check admin fail", at + 1)) {
    ++refusals;
  }
  EXPECT_EQ(refusals, 2u) << log;
  ASSERT_TRUE(IsWindowEnabled(next));
  drive::ClickButton(next);
  // The client page has a Browse button too: the item page is the one with Install.
  ASSERT_NE(PageWith(run, "Button", T("BTN_INSTALL")), nullptr) << medium_.Log();
  std::string info = remoteKey + "\\Remote_Info";
  EXPECT_EQ(e2e::ReadString(info, "User_Name"), "admin");
  EXPECT_EQ(e2e::ReadDword(info, "NumOfPCs"), 1u);
  EXPECT_EQ(e2e::ReadString(info, "PC_0"), "client-01");
  HWND items = PageWith(run, "Button", T("BTN_INSTALL"));
  EXPECT_TRUE(Cancel(run, items)) << medium_.Log();
  EXPECT_FALSE(Contains(medium_.Log(), kPassword));
  EXPECT_FALSE(Contains(medium_.Trace(), kPassword));
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, remoteKey.c_str());
}

TEST_F(NetworkWizard, TheRemoteInstallReachesTheListedComputersAndLeavesNoPasswordBehind) {
  // The menu link records the remote install type under this test's product.
  e2e::SetScriptValue(medium_.ConfigFile(), "MENU.LINK_INSTALL_REMOTE", "ADD_REG",
                      "HKLM," + medium_.Identity().InstallKey() + "\\Install_Type,REG_DWORD,4");
  qx::test::Process run;
  HWND menu = Menu(run, "6");
  ASSERT_NE(menu, nullptr) << medium_.Log();
  drive::ClickObject(drive::FindChild(menu, "Static", T("LINK_INSTALL_REMOTE").c_str()));
  HWND page = PageWith(run, "Button", T("BTN_CHECK_ACCOUNT"));
  ASSERT_NE(page, nullptr) << medium_.Log();
  HWND add = GetDlgItem(page, 1611), list = GetDlgItem(page, 1609);
  SendDlgItemMessageA(page, 1603, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("admin"));
  SendDlgItemMessageA(page, 1605, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kPassword));
  SendDlgItemMessageA(page, 1606, BM_CLICK, 0, 0);
  ASSERT_TRUE(IsWindowEnabled(add)) << medium_.Log();
  SendDlgItemMessageA(page, 1608, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("CLIENT-01"));
  SendMessageA(add, BM_CLICK, 0, 0);
  ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 1);
  drive::ClickButton(GetDlgItem(page, 1613));
  HWND items = PageWith(run, "Button", T("BTN_INSTALL"));
  ASSERT_NE(items, nullptr) << medium_.Log();
  drive::ClickButton(drive::FindChild(items, "Button", T("BTN_INSTALL").c_str()));
  // The network scan manager is ticked: its note comes first.
  HWND note = PageWith(run, "Static", T("MSG_NETSCAN_TITLE"));
  ASSERT_NE(note, nullptr) << medium_.Log();
  drive::ClickObject(drive::FindChild(note, "Button", T("BTN_INSTALL").c_str()));
  HWND finish = PageWith(run, "Button", T("BTN_FINISH"));
  ASSERT_NE(finish, nullptr) << medium_.Log();
  // The world records the installation on the computer.
  std::ifstream worldFile(medium_.Dir() + "\\world.ini", std::ios::binary);
  std::string world((std::istreambuf_iterator<char>(worldFile)), std::istreambuf_iterator<char>());
  size_t client = world.find("[Computer:1]");
  ASSERT_NE(client, std::string::npos);
  std::string section = world.substr(client, world.find("[Computer:2]") - client);
  EXPECT_TRUE(Contains(section, "Installed=1")) << section << medium_.Log();
  drive::ClickButton(drive::FindChild(finish, "Button", T("BTN_FINISH").c_str()));
  DWORD code = 0;
  ASSERT_TRUE(run.Wait(90000, &code)) << medium_.Log();
  // The saved registry file held the password in clear text: it is gone, and
  // neither the log nor the traces show the password.
  EXPECT_EQ(GetFileAttributesA((medium_.TempDir() + "\\RtReg.reg").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(Contains(medium_.Log(), kPassword));
  EXPECT_FALSE(Contains(medium_.Trace(), kPassword));
  EXPECT_TRUE(Contains(medium_.Trace(), "[qxremote] DoRemoteInstall")) << medium_.Trace();
  const std::string remoteKey = "Software\\" + medium_.Identity().Mfg() + "\\" + medium_.Identity().Program() + "\\Remote";
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, remoteKey.c_str());
}

}  // namespace

namespace {

struct SpoolerPrinter {
  bool exists = false;
  std::string port, shareName;
  bool shared = false;
};

SpoolerPrinter ReadSpoolerPrinter(const std::string& name) {
  SpoolerPrinter out;
  HANDLE printer = nullptr;
  PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ACCESS_USE};
  if (!OpenPrinterA(const_cast<char*>(name.c_str()), &printer, &access)) return out;
  DWORD needed = 0;
  GetPrinterA(printer, 2, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed + 1);
  if (needed && GetPrinterA(printer, 2, buffer.data(), needed, &needed)) {
    auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
    out.exists = true;
    out.port = info->pPortName ? info->pPortName : "";
    out.shareName = info->pShareName ? info->pShareName : "";
    out.shared = (info->Attributes & PRINTER_ATTRIBUTE_SHARED) != 0;
  }
  ClosePrinter(printer);
  return out;
}

// Every printer the spooler lists, by name.
std::vector<std::string> SpoolerPrinterNames() {
  DWORD needed = 0, count = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed + 1);
  std::vector<std::string> names;
  if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) return names;
  auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) names.push_back(info[i].pPrinterName ? info[i].pPrinterName : "");
  return names;
}

std::string DefaultPrinter() {
  char name[512] = "";
  DWORD size = sizeof(name);
  return GetDefaultPrinterA(name, &size) ? name : "";
}

bool Listed(const std::vector<std::string>& names, const std::string& name) {
  for (const auto& n : names) {
    if (_stricmp(n.c_str(), name.c_str()) == 0) return true;
  }
  return false;
}

}  // namespace

// The network-printer wizard installs the printer in the spooler on the chosen
// printer's port; the settings page renames it, shares it and makes it the
// default, and the spooler shows all three; the uninstall wizard removes it.
TEST_F(NetworkWizard, TheNetworkInstallReachesTheSpoolerAndTheUninstallRemovesThePrinter) {
  // Names of this test's own, so that runs beside it keep their printers.
  const std::string printerName = "QX Net " + medium_.Identity().Program();
  const std::string renamed = printerName + " Office";
  const std::string driverName = printerName + " Driver";
  e2e::SetScriptValue(medium_.DataFile(), "L2020_PRINTER", "PRINTER_NAME", printerName);
  e2e::SetScriptValue(medium_.DataFile(), "L2020_PRINTER", "DRIVER_NAME", driverName);
  const std::string productKey = "Software\\" + medium_.Identity().Mfg();
  const auto registryBefore = e2e::RegistrySnapshot(productKey);
  const std::string installKey = medium_.Identity().InstallKey();
  // Whatever happens below, the printers and the driver of this test go.
  struct SpoolerCleanUp {
    std::vector<std::string> printers;
    std::string driver;
    ~SpoolerCleanUp() {
      for (const std::string& name : printers) {
        HANDLE printer = nullptr;
        PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (!OpenPrinterA(const_cast<char*>(name.c_str()), &printer, &access)) continue;
        DeletePrinter(printer);
        ClosePrinter(printer);
      }
      DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(driver.c_str()));
    }
  } cleanUp{{printerName, renamed}, driverName};

  qx::test::Process run;
  HWND menu = Menu(run, "6");
  ASSERT_NE(menu, nullptr) << medium_.Log();
  drive::ClickObject(drive::FindChild(menu, "Static", T("LINK_INSTALL_NETWORK").c_str()));
  HWND page = PageWith(run, "Button", T("BTN_UPDATE"));
  ASSERT_NE(page, nullptr) << medium_.Log();
  HWND list = drive::FindChild(page, "SysListView32");
  ASSERT_TRUE(qx::test::WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 3; }, 30000));
  ASSERT_TRUE(SelectRow(list, 0));  // QX Office, 10.20.30.40
  HWND next = drive::FindChild(page, "Button", T("BTN_NEXT").c_str());
  ASSERT_TRUE(qx::test::WaitFor([&] { return IsWindowEnabled(next) != FALSE; }, 10000));
  drive::ClickButton(next);
  HWND items = PageWith(run, "Button", T("BTN_BROWSE"));
  ASSERT_NE(items, nullptr) << medium_.Log();
  drive::ClickButton(drive::FindChild(items, "Button", T("BTN_INSTALL").c_str()));

  // After the install: the settings page, and the printer in the spooler.
  HWND settings = PageWith(run, "Button", T("BTN_APPLY"));
  ASSERT_NE(settings, nullptr) << medium_.Log();
  SpoolerPrinter installed = ReadSpoolerPrinter(printerName);
  ASSERT_TRUE(installed.exists) << medium_.Trace();
  EXPECT_TRUE(Listed(SpoolerPrinterNames(), printerName));
  // Wine's spooler has no network port monitor: the library falls back to FILE: and says so.
  if (installed.port != "10.20.30.40") {
    EXPECT_EQ(installed.port, "FILE:");
    EXPECT_TRUE(Contains(medium_.Trace(), "Port 10.20.30.40 refused, the printer goes to FILE:")) << medium_.Trace();
  }

  HWND printers = GetDlgItem(settings, 1502);
  ASSERT_TRUE(qx::test::WaitFor([&] { return SendMessageA(printers, LVM_GETITEMCOUNT, 0, 0) == 1; }, 10000));
  // A click on the printer's name fills the fields. A click that comes while
  // the page is still being laid out on a busy machine can go unanswered:
  // clicked again until the fields show the printer.
  HWND nameEdit = GetDlgItem(settings, 1505);
  DWORD lastClick = 0;
  ASSERT_TRUE(qx::test::WaitFor([&] {
    if (drive::WindowText(nameEdit) == printerName) return true;
    if (GetTickCount() - lastClick > 500) {
      drive::ClickListRow(printers, 0, 40);
      lastClick = GetTickCount();
    }
    return false;
  }, 30000)) << drive::WindowText(nameEdit);
  SendMessageA(nameEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(renamed.c_str()));
  if (SendDlgItemMessageA(settings, 1508, BM_GETCHECK, 0, 0) != BST_CHECKED) {
    SendDlgItemMessageA(settings, 1508, BM_CLICK, 0, 0);
  }
  SendDlgItemMessageA(settings, 1507, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("QXOFFICE"));
  if (SendDlgItemMessageA(settings, 1509, BM_GETCHECK, 0, 0) != BST_CHECKED) {
    SendDlgItemMessageA(settings, 1509, BM_CLICK, 0, 0);
  }
  SendDlgItemMessageA(settings, 1510, BM_CLICK, 0, 0);

  SpoolerPrinter after = ReadSpoolerPrinter(renamed);
  EXPECT_TRUE(after.exists) << medium_.Trace();
  EXPECT_EQ(after.port, installed.port);
  EXPECT_TRUE(after.shared);
  EXPECT_EQ(after.shareName, "QXOFFICE");
  EXPECT_FALSE(ReadSpoolerPrinter(printerName).exists);
  EXPECT_FALSE(Listed(SpoolerPrinterNames(), printerName));
  EXPECT_EQ(DefaultPrinter(), renamed);
  const std::string item = installKey + "\\Items\\L2020_PRINTER";
  EXPECT_EQ(e2e::ReadString(item, "Printer_Name"), renamed);
  EXPECT_EQ(e2e::ReadString(item, "Share_Name"), "QXOFFICE");
  EXPECT_EQ(e2e::ReadDword(item, "Share"), 1u);
  EXPECT_EQ(e2e::ReadString(installKey, "Default_Printer"), renamed);

  drive::ClickButton(GetDlgItem(settings, 1511));
  HWND finish = PageWith(run, "Button", T("BTN_FINISH"));
  ASSERT_NE(finish, nullptr) << medium_.Log();
  drive::ClickButton(drive::FindChild(finish, "Button", T("BTN_FINISH").c_str()));
  DWORD code = 0;
  ASSERT_TRUE(run.Wait(90000, &code)) << medium_.Log();
  EXPECT_EQ(code, 1u);

  // The uninstall wizard: everything ticked, removed, handed over to the clear run.
  qx::test::Process uninstall;
  ASSERT_TRUE(medium_.Start(&uninstall, "/UNINSTALL", {{"QX_MESSAGE_BOX_ANSWER", "1"}}));
  HWND removal = drive::WaitForWindow(uninstall.Id(), [](HWND w) { return GetDlgItem(w, 1052) != nullptr; }, 60000);
  ASSERT_NE(removal, nullptr) << medium_.Log();
  std::string why;
  ASSERT_TRUE(drive::TickAllAndPress(removal, 1052, 1004, 60000, &why))
      << why << "\n" << drive::DescribeWindows(uninstall.Id()) << medium_.Log();
  HWND done = PageWith(uninstall, "Button", T("BTN_CLOSE"));
  ASSERT_NE(done, nullptr) << medium_.Log();
  drive::ClickObject(drive::FindChild(done, "Button", T("BTN_CLOSE").c_str()));
  ASSERT_TRUE(uninstall.Wait(90000, &code)) << medium_.Log();
  EXPECT_FALSE(ReadSpoolerPrinter(renamed).exists) << medium_.Trace();
  EXPECT_FALSE(Listed(SpoolerPrinterNames(), renamed));
  EXPECT_TRUE(qx::test::WaitFor([&] { return e2e::RegistrySnapshot(productKey) == registryBefore; }, 120000))
      << medium_.Trace();
}
