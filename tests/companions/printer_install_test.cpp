// Printer items: MyInstall registers the driver and the printer with the
// spooler so that enumeration sees them, and MyUnInstall removes both.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <vector>

#include "tests/companions/dll_support.h"
#include "tests/support/test_identity.h"
#include "tests/support/trace_capture.h"

namespace {

using namespace qx::test;
using Install = BOOL(__stdcall*)(HWND, const char*, int);

bool PrinterListed(const std::string& name, std::string* port, std::string* share = nullptr) {
  DWORD needed = 0, count = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
  if (needed == 0) return false;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) return false;
  auto* info = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (name == info[i].pPrinterName) {
      if (port) *port = info[i].pPortName;
      if (share && (info[i].Attributes & PRINTER_ATTRIBUTE_SHARED) && info[i].pShareName) *share = info[i].pShareName;
      return true;
    }
  }
  return false;
}

bool DriverListed(const std::string& name) {
  DWORD needed = 0, count = 0;
  EnumPrinterDriversA(nullptr, nullptr, 3, nullptr, 0, &needed, &count);
  if (needed == 0) return false;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrinterDriversA(nullptr, nullptr, 3, buffer.data(), needed, &needed, &count)) return false;
  auto* info = reinterpret_cast<DRIVER_INFO_3A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (name == info[i].pName) return true;
  }
  return false;
}

std::string DefaultPrinter() {
  char name[512] = {};
  DWORD size = sizeof(name);
  return GetDefaultPrinterA(name, &size) ? name : "";
}

TEST(PrinterInstall, RegistersWithTheSpoolerAndRemovesAgain) {
  TestIdentity id;
  TraceCapture trace;
  std::string driver = id.Mfg() + " Laser PCL";
  std::string printer = id.Mfg() + " Laser";
  std::string item = id.InstallKey() + "\\Items\\PRINTER_PCL";
  SetDword(HKEY_LOCAL_MACHINE, item, "Install", 1);
  SetDword(HKEY_LOCAL_MACHINE, item, "Printer", 1);
  SetString(HKEY_LOCAL_MACHINE, item, "Driver_Name", driver);
  SetString(HKEY_LOCAL_MACHINE, item, "Printer_Name", printer);
  SetDword(HKEY_LOCAL_MACHINE, item, "Share", 1);
  SetString(HKEY_LOCAL_MACHINE, item, "Share_Name", "QXSHARE");
  SetString(HKEY_LOCAL_MACHINE, id.InstallKey(), "Printer_Port", "USB001");
  SetString(HKEY_LOCAL_MACHINE, id.InstallKey(), "Default_Printer", printer);
  std::string before = DefaultPrinter();

  Dll exec("qxexec.dll");
  ReportWindow window;
  auto install = exec.Fn<Install>("MyInstall");
  EXPECT_TRUE(RunOnWorker([&] { return install(window.Handle(), id.InstallKey().c_str(), 1); })) << trace.Text();
  EXPECT_EQ(window.Sequence(), "2:PRINTER_PCL 1:PRINTER_PCL 6:");
  std::string port, share;
  EXPECT_TRUE(DriverListed(driver));
  EXPECT_TRUE(PrinterListed(printer, &port, &share));
  EXPECT_EQ(share, "QXSHARE");
  // Wine's spooler takes the recorded port even though it has no such port.
  EXPECT_EQ(port, "USB001");
  EXPECT_EQ(DefaultPrinter(), printer);

  SetDword(HKEY_LOCAL_MACHINE, item, "Uninstall", 1);
  ReportWindow second;
  auto uninstall = exec.Fn<Install>("MyUnInstall");
  EXPECT_TRUE(RunOnWorker([&] { return uninstall(second.Handle(), id.InstallKey().c_str(), 1); })) << trace.Text();
  EXPECT_EQ(second.Sequence(), "2:PRINTER_PCL 1:PRINTER_PCL 6:");
  EXPECT_FALSE(PrinterListed(printer, nullptr));
  EXPECT_FALSE(DriverListed(driver));
  if (!before.empty()) SetDefaultPrinterA(before.c_str());
}

TEST(PrinterInstall, MissingDriverNameFailsTheItem) {
  TestIdentity id;
  std::string item = id.InstallKey() + "\\Items\\MY_PRINTER";
  SetDword(HKEY_LOCAL_MACHINE, item, "Install", 1);
  SetDword(HKEY_LOCAL_MACHINE, item, "Printer", 1);
  Dll exec("qxexec.dll");
  ReportWindow window;
  auto install = exec.Fn<Install>("MyInstall");
  EXPECT_FALSE(RunOnWorker([&] { return install(window.Handle(), id.InstallKey().c_str(), 1); }));
  EXPECT_EQ(window.Sequence(), "2:MY_PRINTER 0:MY_PRINTER 6:");
}

}  // namespace
