// The DLLs answer from the world file, read again on every call; without one
// they answer like a machine without printers, accounts or client computers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "companions/contracts/printer_entry.h"
#include "companions/contracts/remote_install_param.h"
#include "tests/companions/dll_support.h"
#include "tests/support/trace_capture.h"

namespace {

using qx::test::Dll;
using qx::test::WorldFile;
using DevicePort = int(__stdcall*)(const char*, const char*, const char*, char*, int*);
using Remote = BOOL(__stdcall*)(RemoteInstallParam*);
using Network = int(__stdcall*)(PRINTER_ENTRY*);
using Text1 = BOOL(__stdcall*)(const char*);
using Text2 = BOOL(__stdcall*)(const char*, const char*);
using Text4 = BOOL(__stdcall*)(const char*, const char*, const char*, const char*);
using NoArgs = BOOL(__stdcall*)();

std::string ProfileValue(const std::string& file, const char* section, const char* key) {
  char value[256] = {};
  GetPrivateProfileStringA(section, key, "", value, sizeof(value), file.c_str());
  return value;
}

TEST(WorldAnswers, LocalPortsFollowTheWorldAsItChanges) {
  Dll util("qxutil.dll");
  auto getPort = util.Fn<DevicePort>("GetDevicePort");
  std::vector<char> port(4096, 'x');
  int count = -1;
  {
    qx::test::NoWorld none;
    EXPECT_EQ(getPort("Vexa", "Laser 9000", "VID_1&PID_2", port.data(), &count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_STREQ(port.data(), "");
  }
  WorldFile world("[UsbPrinter:a]\nMfg=Vexa\nModel=Laser 9000\nVidPid=VID_1&PID_2\nPort=USB004\n"
                  "[UsbPrinter:b]\nMfg=Vexa\nModel=Laser 9000\nPort=USB005\n");
  EXPECT_EQ(getPort("Vexa", "Laser 9000", "VID_1&PID_2", port.data(), &count), 2);
  EXPECT_EQ(count, 2);
  EXPECT_STREQ(port.data(), "USB004");
  world.Rewrite("[UsbPrinter:b]\nMfg=Vexa\nModel=Laser 9000\nPort=USB005\n");  // one unplugged
  EXPECT_EQ(getPort("Vexa", "Laser 9000", "VID_1&PID_2", port.data(), &count), 1);
  EXPECT_STREQ(port.data(), "USB005");
  EXPECT_EQ(getPort("Vexa", "Laser 7000", "", port.data(), &count), 0);
}

TEST(WorldAnswers, BesideTheDllWhenNoVariable) {
  std::string beside = qx::test::ExeDir() + "\\world.ini";
  qx::test::TempDir scratch;
  ASSERT_TRUE(CopyFileA(scratch.Write("w.ini", "[UsbPrinter]\nMfg=M\nModel=D\nPort=USB009\n").c_str(), beside.c_str(),
                        FALSE));
  SetEnvironmentVariableA("QX_WORLD_FILE", nullptr);
  Dll util("qxutil.dll");
  char port[260] = {};
  int count = 0;
  EXPECT_EQ(util.Fn<DevicePort>("GetDevicePort")("M", "D", "", port, &count), 1);
  EXPECT_STREQ(port, "USB009");
  DeleteFileA(beside.c_str());
  EXPECT_EQ(util.Fn<DevicePort>("GetDevicePort")("M", "D", "", port, &count), 0);
}

TEST(WorldAnswers, NetworkPrinters) {
  Dll net("qxnetman.dll");
  auto find = net.Fn<Network>("GetNetworkPrinter");
  std::vector<PRINTER_ENTRY> table(qx::contracts::kPrinterTableSize);
  {
    qx::test::NoWorld none;
    EXPECT_EQ(find(table.data()), 0);
  }
  std::string text;
  for (int i = 0; i < 250; ++i) {
    text += "[NetworkPrinter:" + std::to_string(i) + "]\nName=P" + std::to_string(i) + "\nIp=10.0.0." +
            std::to_string(i % 250) + "\nDescription=VEXA LASER MFP\nMac=00:00:00:00:00:" + std::to_string(i % 100) + "\n";
  }
  WorldFile world(text);
  EXPECT_EQ(find(table.data()), qx::contracts::kPrinterTableSize);  // never past the table
  EXPECT_STREQ(table[199].name, "P199");
  world.Rewrite("[NetworkPrinter:x]\nName=Only\nIp=192.168.1.20\nOnline=1\n[NetworkPrinter:y]\nName=Off\nOnline=0\n");
  EXPECT_EQ(find(table.data()), 1);
  EXPECT_STREQ(table[0].name, "Only");
  EXPECT_STREQ(table[0].address, "192.168.1.20");
  EXPECT_EQ(table[0].network, 1);
}

RemoteInstallParam Block(const char* pc, const char* user, const char* password, const std::string& source,
                         const std::string& regFile) {
  RemoteInstallParam p{};
  strcpy(p.remoteComputer, pc);
  strcpy(p.localIp, "10.0.0.100");
  strcpy(p.userName, user);
  strcpy(p.password, password);
  strcpy(p.domain, "WORK");
  strncpy(p.sourceDir, source.c_str(), 255);
  strncpy(p.registryFile, regFile.c_str(), 255);
  strcpy(p.commandLine, "setup.exe /Remote");
  return p;
}

TEST(WorldAnswers, RemoteAccountsComputersAndInstallNeverLogThePassword) {
  qx::test::TempDir dir;
  std::string regFile = dir.Write("RtReg.reg", "[HKEY_LOCAL_MACHINE\\Software\\X]\n");
  WorldFile world(
      "[Account:1]\nUser=admin\nPassword=Hunter2Secret\nDomain=WORK\n"
      "[Computer:1]\nName=PC-01\nAdmins=admin\n"
      "[Computer:2]\nName=PC-02\nAdmins=admin\nInstallResult=0\n"
      "[Computer:3]\nName=PC-03\nAdmins=someone\n");
  qx::test::TraceCapture trace;
  Dll remote("qxremote.dll");
  auto logon = remote.Fn<Remote>("CheckLogonUser");
  auto admin = remote.Fn<Remote>("CheckRemoteAdmin");
  auto install = remote.Fn<Remote>("DoRemoteInstall");
  struct Case {
    const char* pc;
    const char* password;
    BOOL logon, admin, install;
  } cases[] = {
      {"PC-01", "Hunter2Secret", TRUE, TRUE, TRUE},
      {"PC-01", "wrong-pass", FALSE, FALSE, FALSE},
      {"PC-02", "Hunter2Secret", TRUE, TRUE, FALSE},  // the computer's own installation fails
      {"PC-03", "Hunter2Secret", TRUE, FALSE, FALSE},
      {"PC-99", "Hunter2Secret", TRUE, FALSE, FALSE},
  };
  for (const Case& c : cases) {
    RemoteInstallParam p = Block(c.pc, "admin", c.password, dir.Path(), regFile);
    EXPECT_EQ(logon(&p), c.logon) << c.pc << c.password;
    EXPECT_EQ(admin(&p), c.admin) << c.pc << c.password;
    EXPECT_EQ(install(&p), c.install) << c.pc << c.password;
  }
  EXPECT_EQ(ProfileValue(world.Path(), "Computer:1", "Installed"), "1");
  EXPECT_EQ(ProfileValue(world.Path(), "Computer:1", "LastCommand"), "setup.exe /Remote");
  EXPECT_EQ(ProfileValue(world.Path(), "Computer:2", "Installed"), "");
  // A missing registry file stops the installation even for a good computer.
  RemoteInstallParam noFile = Block("PC-01", "admin", "Hunter2Secret", dir.Path(), dir.File("none.reg"));
  EXPECT_FALSE(install(&noFile));

  std::string log = trace.Text();
  EXPECT_NE(log.find("[qxremote] DoRemoteInstall"), std::string::npos);
  EXPECT_NE(log.find("password ********"), std::string::npos);
  EXPECT_EQ(log.find("Hunter2Secret"), std::string::npos);
  EXPECT_EQ(log.find("wrong-pass"), std::string::npos);
  {
    qx::test::NoWorld none;
    RemoteInstallParam p = Block("PC-01", "admin", "Hunter2Secret", dir.Path(), regFile);
    EXPECT_FALSE(logon(&p));
    EXPECT_FALSE(admin(&p));
  }
}

TEST(WorldAnswers, PlugAndPlayDevicesAndTheWizard) {
  WorldFile world(
      "[UnknownDevice:1]\nVidPid=VID_1&PID_2\nName=?\n"
      "[UnknownDevice:2]\nVidPid=VID_3&PID_4\nName=mouse\n"
      "[PnP]\nPrevent=1\n");
  Dll util("qxutil.dll");
  auto start = util.Fn<Text1>("StartPreventPnP");
  auto end = util.Fn<Text1>("EndPreventPnP");
  EXPECT_FALSE(end("VexaL"));  // nothing started
  EXPECT_TRUE(start("VexaL"));
  EXPECT_TRUE(end("VexaL"));
  world.Rewrite("[PnP]\nPrevent=0\n[UnknownDevice:1]\nVidPid=VID_1&PID_2\n[UnknownDevice:2]\nVidPid=VID_3&PID_4\n");
  EXPECT_FALSE(start("VexaL"));

  EXPECT_TRUE(util.Fn<Text2>("RemoveUnknownDev")("VexaL", "VID_1&PID_2"));
  std::string left = world.Text();
  EXPECT_EQ(left.find("[UnknownDevice:1]"), std::string::npos);
  EXPECT_NE(left.find("[UnknownDevice:2]"), std::string::npos);

  // A wizard window of the system is closed; other windows stay.
  HWND wizard = CreateWindowExA(0, "STATIC", "Found New Hardware Wizard", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
  HWND other = CreateWindowExA(0, "STATIC", "Something else", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                               nullptr);
  ASSERT_TRUE(wizard && other);
  EXPECT_TRUE(util.Fn<NoArgs>("RemoveHardwareWizardDialog")());
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  EXPECT_FALSE(IsWindow(wizard));
  EXPECT_TRUE(IsWindow(other));
  DestroyWindow(other);
}

TEST(WorldAnswers, DiagnosisAndRefreshAreLogged) {
  WorldFile world("[UsbPrinter]\nMfg=Vexa\nModel=L9\nVidPid=VID_1\n[Diagnosis]\nVexa Laser MFP 9000 PS=toner low\n");
  qx::test::TraceCapture trace;
  Dll diag("qxdiag.dll"), util("qxutil.dll");
  auto diagnose = diag.Fn<Text4>("Diagnosis");
  EXPECT_FALSE(diagnose("Vexa", "Vexa Laser MFP 9000 PS", "L9", "VID_1"));
  EXPECT_FALSE(diagnose("Vexa", "No Such Printer", "L9", "VID_1"));  // device there, printer not installed
  world.Rewrite("[Diagnosis]\nDefault=OK\n");
  EXPECT_TRUE(diagnose("Vexa", "Any", "L9", "VID_1"));
  EXPECT_TRUE(util.Fn<Text2>("SystemRefresh")("VexaL9", "VID_1"));
  std::string log = trace.Text();
  EXPECT_NE(log.find("result toner low"), std::string::npos) << log;
  EXPECT_NE(log.find("result printer not installed"), std::string::npos) << log;
  EXPECT_NE(log.find("[qxutil] SystemRefresh (VexaL9, VID_1)"), std::string::npos) << log;
}

}  // namespace
