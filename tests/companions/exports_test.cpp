// The DLLs load by file name and offer every function the installer looks up,
// and none of them falls over on null, empty or huge arguments.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "companions/contracts/printer_entry.h"
#include "companions/contracts/remote_install_param.h"
#include "tests/companions/dll_support.h"

namespace {

using qx::test::Dll;

TEST(CompanionExports, EveryContractFunctionResolves) {
  struct Case {
    const char* dll;
    std::vector<const char*> exports;
  } cases[] = {
      {"qxexec.dll", {"MyInstall", "MyUnInstall"}},
      {"qxutil.dll",
       {"SystemRefresh", "RemoveHardwareWizardDialog", "RemoveUnknownDev", "StartPreventPnP", "EndPreventPnP", "SaveFile",
        "GetDevicePort"}},
      {"qxremote.dll", {"CheckLogonUser", "CheckRemoteAdmin", "DoRemoteInstall"}},
      {"qxdiag.dll", {"Diagnosis"}},
      {"qxnetman.dll", {"GetNetworkPrinter"}},
  };
  for (const Case& c : cases) {
    Dll dll(c.dll);
    ASSERT_TRUE(dll.Loaded()) << c.dll << " error " << GetLastError();
    for (const char* name : c.exports) EXPECT_NE(dll.Fn<FARPROC>(name), nullptr) << c.dll << " " << name;
  }
}

using Text2 = BOOL(__stdcall*)(const char*, const char*);
using Text1 = BOOL(__stdcall*)(const char*);
using Text4 = BOOL(__stdcall*)(const char*, const char*, const char*, const char*);
using DevicePort = int(__stdcall*)(const char*, const char*, const char*, char*, int*);
using Remote = BOOL(__stdcall*)(RemoteInstallParam*);
using Network = int(__stdcall*)(PRINTER_ENTRY*);
using Install = BOOL(__stdcall*)(HWND, const char*, int);
using Save = BOOL(__stdcall*)(const char*, const char*, int);

TEST(CompanionExports, NullEmptyAndHugeArgumentsAreRefusedCalmly) {
  qx::test::WorldFile world("[UsbPrinter:1]\nMfg=Vexa\nModel=L\n[Account:1]\nUser=u\nPassword=p\n");
  std::string huge(200000, 'A');
  const char* texts[] = {nullptr, "", huge.c_str()};
  Dll util("qxutil.dll"), diag("qxdiag.dll"), remote("qxremote.dll"), net("qxnetman.dll"), exec("qxexec.dll");
  for (const char* t : texts) {
    EXPECT_TRUE(util.Fn<Text2>("SystemRefresh")(t, t));
    util.Fn<Text2>("RemoveUnknownDev")(t, t);
    EXPECT_EQ(util.Fn<Text1>("StartPreventPnP")(t), t == huge.c_str());
    util.Fn<Text1>("EndPreventPnP")(t);
    EXPECT_FALSE(util.Fn<Save>("SaveFile")(t, t, 0));
    EXPECT_FALSE(diag.Fn<Text4>("Diagnosis")(t, t, t, t));
    int count = -1;
    EXPECT_EQ(util.Fn<DevicePort>("GetDevicePort")(t, t, t, nullptr, &count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(exec.Fn<Install>("MyInstall")(nullptr, t, 1));
    EXPECT_FALSE(exec.Fn<Install>("MyUnInstall")(nullptr, t, 0));
  }
  EXPECT_EQ(util.Fn<DevicePort>("GetDevicePort")("Vexa", "L", "", nullptr, nullptr), 1);
  EXPECT_FALSE(remote.Fn<Remote>("CheckLogonUser")(nullptr));
  EXPECT_FALSE(remote.Fn<Remote>("CheckRemoteAdmin")(nullptr));
  EXPECT_FALSE(remote.Fn<Remote>("DoRemoteInstall")(nullptr));
  EXPECT_EQ(net.Fn<Network>("GetNetworkPrinter")(nullptr), 0);

  // Fields without their NUL: read within their 256 bytes, never beyond.
  RemoteInstallParam full;
  memset(&full, 'u', sizeof(full));
  EXPECT_FALSE(remote.Fn<Remote>("CheckLogonUser")(&full));
  EXPECT_FALSE(remote.Fn<Remote>("DoRemoteInstall")(&full));
}

}  // namespace
