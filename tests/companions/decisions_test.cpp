// Decisions of the libraries over records and the simulated world.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "companions/diag/diagnosis.h"
#include "companions/exec/item_record.h"
#include "companions/exec/links_copies.h"
#include "companions/exec/spooler.h"
#include "companions/netman/network_printers.h"
#include "companions/remote/accounts.h"
#include "companions/util/devices.h"

namespace {

using qx::world::World;

TEST(ExecDecisions, CommandLines) {
  struct Case {
    const char* command;
    const char* param;
    const char* line;
  } cases[] = {
      {"C:\\a.exe", "/s /q ", "C:\\a.exe /s /q"},
      {"C:\\Program Files\\a.exe", "", "\"C:\\Program Files\\a.exe\""},
      {"\"C:\\Program Files\\a.exe\"", "x ", "\"C:\\Program Files\\a.exe\" x"},
      {"", "/s", ""},
      {"  ", "", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(qx::exec::BuildCommandLine(c.command, c.param), c.line) << c.command;
  // A command that is no single file is a command line of its own.
  EXPECT_EQ(qx::exec::BuildCommandLine("msiexec /i a.msi", "/qn", false), "msiexec /i a.msi /qn");
}

TEST(ExecDecisions, UninstallInfoBesideTheInstallKey) {
  EXPECT_EQ(qx::exec::UninstallInfoKeyFor("Software\\M\\P\\Install"), "Software\\M\\P\\UninstallInfo");
  EXPECT_EQ(qx::exec::UninstallInfoKeyFor("Software\\M\\P\\Remote\\"), "Software\\M\\P\\UninstallInfo");
  EXPECT_EQ(qx::exec::UninstallInfoKeyFor("Install"), "");
  qx::exec::ItemRecord item;
  item.name = "DRV";
  EXPECT_EQ(qx::exec::UninstallInfoText(item), "DRV");
  item.uninstallCmd = "u.exe";
  item.uninstallParam = "/x ";
  EXPECT_EQ(qx::exec::UninstallInfoText(item), "u.exe /x");
}

TEST(ExecDecisions, RegistryPathsAndData) {
  HKEY hive = nullptr;
  std::string path;
  qx::exec::SplitRegistryPath("HKCU\\Software\\X", &hive, &path);
  EXPECT_EQ(hive, HKEY_CURRENT_USER);
  EXPECT_EQ(path, "Software\\X");
  qx::exec::SplitRegistryPath("Software\\Y", &hive, &path);
  EXPECT_EQ(hive, HKEY_LOCAL_MACHINE);
  EXPECT_EQ(path, "Software\\Y");

  const char text[] = "done";
  DWORD five = 5;
  auto bytes = reinterpret_cast<const BYTE*>(text);
  auto dword = reinterpret_cast<const BYTE*>(&five);
  EXPECT_TRUE(qx::exec::RegistryDataMatches(REG_SZ, bytes, sizeof(text), "done"));
  EXPECT_FALSE(qx::exec::RegistryDataMatches(REG_SZ, bytes, sizeof(text), "don"));
  EXPECT_TRUE(qx::exec::RegistryDataMatches(REG_SZ, bytes, sizeof(text), ""));
  EXPECT_TRUE(qx::exec::RegistryDataMatches(REG_DWORD, dword, 4, "5"));
  EXPECT_TRUE(qx::exec::RegistryDataMatches(REG_DWORD, dword, 4, "0x5"));
  EXPECT_FALSE(qx::exec::RegistryDataMatches(REG_DWORD, dword, 4, "6"));
  EXPECT_FALSE(qx::exec::RegistryDataMatches(REG_DWORD, dword, 4, "5x"));
  EXPECT_FALSE(qx::exec::RegistryDataMatches(REG_BINARY, dword, 4, "5"));
}

TEST(ExecDecisions, ShortcutPlaces) {
  qx::exec::ShortcutRecord link;
  link.name = "Manual";
  link.folderName = "Vexa\\Docs";
  EXPECT_EQ(qx::exec::ShortcutPath(link, "D", "P"), "P\\Vexa\\Docs\\Manual.lnk");
  link.desktop = true;
  EXPECT_EQ(qx::exec::ShortcutPath(link, "D", "P"), "D\\Manual.lnk");
  link.name.clear();
  EXPECT_EQ(qx::exec::ShortcutPath(link, "D", "P"), "");
}

const char kWorld[] =
    "[UsbPrinter:1]\nMfg=Vexa\nModel=Laser 9000\nVidPid=VID_1&PID_2\nPort=USB003\n"
    "[UsbPrinter:2]\nMfg=vexa\nModel=LASER 9000\n"
    "[UsbPrinter:3]\nMfg=Vexa\nModel=Laser 9000\nPresent=0\n"
    "[UsbPrinter:4]\nMfg=Other\nModel=Ink 1\nVidPid=VID_9&PID_9\n"
    "[UnknownDevice:a]\nVidPid=VID_1&PID_2\nName=x\n"
    "[UnknownDevice:b]\nName=Unknown Vexa Laser 9000 device\n"
    "[UnknownDevice:c]\nName=mouse\n";

TEST(UtilDecisions, MatchingDevices) {
  World w = World::Parse(kWorld);
  struct Case {
    const char *mfg, *model, *vidpid;
    size_t count;
  } cases[] = {
      {"Vexa", "Laser 9000", "", 2},
      {"Vexa", "Laser 9000", "VID_1&PID_2", 2},  // the second gives no id, so it is not ruled out
      {"Vexa", "Laser 9000", "VID_7&PID_7", 1},
      {"", "VexaLaser 9000", "", 2},  // the installer's model text: MFG and MDL joined
      {"Other", "", "", 1},
      {"", "", "", 0},
      {"Nobody", "Laser 9000", "", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(qx::util::MatchingDevices(w, c.mfg, c.model, c.vidpid).size(), c.count)
        << c.mfg << "/" << c.model << "/" << c.vidpid;
  }
  EXPECT_EQ(qx::util::MatchingDevices(w, "Vexa", "Laser 9000", "").front().port, "USB003");
  EXPECT_EQ(qx::util::MatchingDevices(w, "vexa", "laser 9000", "")[1].port, "USB001");  // default port
  EXPECT_TRUE(qx::util::MatchingDevices(World{}, "Vexa", "Laser 9000", "").empty());
}

TEST(UtilDecisions, UnknownDevicesWizardTitlesPrevention) {
  World w = World::Parse(kWorld);
  auto unknown = qx::util::MatchingUnknownDevices(w, "Vexa Laser 9000", "VID_1&PID_2");
  ASSERT_EQ(unknown.size(), 2u);
  EXPECT_EQ(unknown[0], "UnknownDevice:a");
  EXPECT_EQ(unknown[1], "UnknownDevice:b");
  EXPECT_TRUE(qx::util::MatchingUnknownDevices(w, "", "").empty());
  EXPECT_EQ(qx::util::WizardTitles(w).size(), 2u);
  EXPECT_EQ(qx::util::WizardTitles(World::Parse("[PnP]\nWizardTitles=A| B |C\n")).size(), 3u);
  EXPECT_TRUE(qx::util::PreventionAllowed(w));
  EXPECT_FALSE(qx::util::PreventionAllowed(World::Parse("[PnP]\nPrevent=0\n")));
}

TEST(RemoteDecisions, AccountsAndAdmins) {
  World w = World::Parse(
      "[Account:1]\nUser=admin\nPassword=Secret1\nDomain=WORK\n"
      "[Account:2]\nUser=any\nPassword=pw\n"
      "[Computer:1]\nName=PC-01\nIp=10.0.0.1\nAdmins=Admin, other\n"
      "[Computer:2]\nName=PC-02\nAdmins=admin\nOnline=0\n"
      "[Computer:3]\nName=PC-03\nAdmins=other\n");
  using qx::remote::AdminCheck;
  using qx::remote::Credentials;
  struct Case {
    Credentials who;
    bool valid;
  } accounts[] = {
      {{"admin", "Secret1", "work"}, true},  {{"ADMIN", "Secret1", "WORK"}, true}, {{"admin", "secret1", "WORK"}, false},
      {{"admin", "Secret1", "OTHER"}, false}, {{"any", "pw", "whatever"}, true},  {{"", "", ""}, false},
      {{"nobody", "pw", ""}, false},
  };
  for (const Case& c : accounts) EXPECT_EQ(qx::remote::AccountValid(w, c.who), c.valid) << c.who.user;
  Credentials admin{"admin", "Secret1", "WORK"};
  EXPECT_EQ(qx::remote::CheckAdmin(w, "pc-01", admin), AdminCheck::kAccepted);
  EXPECT_EQ(qx::remote::CheckAdmin(w, "10.0.0.1", admin), AdminCheck::kAccepted);
  EXPECT_EQ(qx::remote::CheckAdmin(w, "PC-02", admin), AdminCheck::kOffline);
  EXPECT_EQ(qx::remote::CheckAdmin(w, "PC-03", admin), AdminCheck::kNotAdmin);
  EXPECT_EQ(qx::remote::CheckAdmin(w, "PC-09", admin), AdminCheck::kUnknownComputer);
  EXPECT_EQ(qx::remote::CheckAdmin(w, "PC-01", Credentials{"admin", "bad", "WORK"}), AdminCheck::kBadAccount);
}

TEST(NetmanDecisions, TableFilledInOrderWithinCapacity) {
  World w = World::Parse(
      "[NetworkPrinter:1]\nName=P1\nIp=10.0.0.5\nMac=00:11\nDescription=VEXA LASER\nText3=share1\n"
      "[NetworkPrinter:2]\nName=P2\nOnline=0\n"
      "[NetworkPrinter:3]\nName=P3\n");
  std::vector<PRINTER_ENTRY> table(3);
  std::memset(table.data(), 0x7F, sizeof(PRINTER_ENTRY) * table.size());
  EXPECT_EQ(qx::netman::FillPrinterTable(w, table.data(), 3), 2);
  EXPECT_STREQ(table[0].name, "P1");
  EXPECT_STREQ(table[0].address, "10.0.0.5");
  EXPECT_STREQ(table[0].text3, "share1");
  EXPECT_STREQ(table[0].text5, "00:11");
  EXPECT_STREQ(table[0].description, "VEXA LASER");
  EXPECT_EQ(table[0].network, 1);
  EXPECT_EQ(table[0].hasAddress, 1);
  EXPECT_EQ(table[0].listed, 0);  // listing is the installer's decision
  EXPECT_STREQ(table[1].name, "P3");
  EXPECT_EQ(table[1].hasAddress, 0);
  EXPECT_EQ(static_cast<unsigned char>(table[2].name[0]), 0x7F);  // past the count: untouched
  EXPECT_EQ(qx::netman::FillPrinterTable(w, table.data(), 1), 1);
  EXPECT_EQ(qx::netman::FillPrinterTable(w, nullptr, 3), 0);
}

TEST(DiagDecisions, Verdicts) {
  World w = World::Parse(
      "[UsbPrinter:1]\nMfg=Vexa\nModel=L1\nVidPid=VID_1\n"
      "[NetworkPrinter:1]\nName=Net P\n"
      "[Diagnosis]\nBroken P=paper jam\n");
  struct Case {
    const char *mfg, *name, *mdl, *vidpid;
    bool installed;
    bool found;
    const char* result;
  } cases[] = {
      {"Vexa", "P", "L1", "", true, true, "OK"},
      {"Vexa", "P", "L1", "", false, true, "printer not installed"},
      {"X", "P", "Y", "VID_1", true, true, "OK"},
      {"X", "Net P", "Y", "", true, true, "OK"},
      {"X", "P", "Y", "", true, false, "no device"},
      {"Vexa", "Broken P", "L1", "", true, true, "paper jam"},
  };
  for (const Case& c : cases) {
    auto v = qx::diag::Diagnose(w, c.mfg, c.name, c.mdl, c.vidpid, c.installed);
    EXPECT_EQ(v.deviceFound, c.found) << c.name;
    EXPECT_EQ(v.result, c.result) << c.name;
  }
  EXPECT_EQ(qx::diag::Diagnose(World::Parse("[Diagnosis]\nDefault=OK\n"), "", "", "", "", false).result, "OK");
}

}  // namespace

namespace {

TEST(ExecDecisions, DriverFilesFollowThePlatform) {
  auto wine = qx::exec::ChooseDriverFiles(true, "C:\\windows\\system32", "C:\\spool\\w32x86");
  EXPECT_EQ(wine.driver, "C:\\windows\\system32\\wineps.drv");
  EXPECT_EQ(wine.config, wine.driver);
  auto windows = qx::exec::ChooseDriverFiles(false, "C:\\windows\\system32", "C:\\spool\\w32x86");
  EXPECT_EQ(windows.driver, "C:\\spool\\w32x86\\3\\UNIDRV.DLL");
  EXPECT_EQ(windows.config, "C:\\spool\\w32x86\\3\\UNIDRVUI.DLL");
}

}  // namespace
