// The sample medium installed for real: setup.exe /S on a copy of the medium,
// then the installation library's MyUnInstall on what it recorded. The copy is
// made this test's own: its manufacturer, program name, destination, component
// key, uninstall entry, printer and shortcut folder are unique, so nothing of a
// real installation of the sample is touched.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "framework/handles.h"
#include "media/tests/medium_reader.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_identity.h"

namespace {

using qx::test::FileExists;

void ReplaceAll(std::string* text, const std::string& from, const std::string& to) {
  size_t count = 0;
  for (size_t at = text->find(from); at != std::string::npos; at = text->find(from, at + to.size()), ++count) {
    text->replace(at, from.size(), to);
  }
  ASSERT_GT(count, 0u) << from;
}


std::string RegString(const std::string& key, const char* name) {
  char buffer[1024] = {};
  DWORD size = sizeof(buffer) - 1;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
    return "(missing)";
  }
  return buffer;
}

DWORD RegDword(const std::string& key, const char* name) {
  DWORD value = 0xFFFFFFFF, size = sizeof(value);
  RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size);
  return value;
}

bool PrinterExists(const std::string& name) {
  HANDLE printer = nullptr;
  if (!OpenPrinterA(const_cast<char*>(name.c_str()), &printer, nullptr)) return false;
  ClosePrinter(printer);
  return true;
}

class SampleMediumInstall : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string source = mediumtest::MediumDir();
    if (!FileExists(source + "\\setup.exe")) GTEST_SKIP() << "the medium has no setup.exe yet";
    medium_ = dir_.Path() + "\\medium";
    dest_ = dir_.Path() + "\\Program Files\\L2020";
    components_ = id_.Root() + "\\Components";
    printer_ = id_.Program() + " L2020";
    ASSERT_TRUE(qx::test::CopyTree(source, medium_));
    std::string data = mediumtest::ReadFile(source + "\\setup.dat");
    ReplaceAll(&data, "\r\nMFG=QX\r\n", "\r\nMFG=" + id_.Mfg() + "\r\n");
    ReplaceAll(&data, "\r\nPROGRAM_NAME=QX Laser L2020 Setup\r\n", "\r\nPROGRAM_NAME=" + id_.Program() + "\r\n");
    ReplaceAll(&data, "DESTINATION_DIR=$PROGRAM_FILES_DIR$\\QX\\Laser L2020", "DESTINATION_DIR=" + dest_);
    ReplaceAll(&data, "Software\\QX\\Components", components_);
    ReplaceAll(&data, "INST_PARAM_0=install ", "INST_PARAM_0=--key \"" + components_ + "\" install ");
    ReplaceAll(&data, "UNINST_PARAM_0=uninstall ", "UNINST_PARAM_0=--key \"" + components_ + "\" uninstall ");
    ReplaceAll(&data, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QX Laser L2020", id_.Root() + "\\ARP");
    ReplaceAll(&data, "PRINTER_NAME=QX Laser L2020", "PRINTER_NAME=" + printer_);
    ReplaceAll(&data, "DRIVER_NAME=QX Laser L2020 PCL6", "DRIVER_NAME=" + printer_ + " PCL6");
    ReplaceAll(&data, "FOLDER_NAME=QX Laser L2020", "FOLDER_NAME=" + id_.Program());
    ReplaceAll(&data, "GROUP=DESKTOP", "GROUP=PROGRAMS\r\nFOLDER_NAME=" + id_.Program());
    dir_.Write("medium\\setup.dat", data);
  }

  void TearDown() override {
    // Shortcuts live in the shared programs menu: remove what the records name.
    std::string items = id_.InstallKey() + "\\Shortcut";
    for (const char* link : {"SHORTCUT.STATMON", "SHORTCUT.STATMON_DESKTOP", "SHORTCUT.UTILITY", "SHORTCUT.MANUAL",
                             "SHORTCUT.UNINSTALL"}) {
      std::string path = RegString(items + "\\" + link, "Shortcut_Path");
      if (path == "(missing)") continue;
      DeleteFileA(path.c_str());
      RemoveDirectoryA(path.substr(0, path.find_last_of('\\')).c_str());
    }
    if (PrinterExists(printer_)) {
      HANDLE printer = nullptr;
      PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
      if (OpenPrinterA(const_cast<char*>(printer_.c_str()), &printer, &access)) {
        DeletePrinter(printer);
        ClosePrinter(printer);
      }
    }
  }

  DWORD RunSetup(const char* arguments) {
    std::string line = "\"" + medium_ + "\\setup.exe\" " + arguments;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, medium_.c_str(), &si, &pi)) {
      return 0xFFFFFFFF;
    }
    fw::UniqueHandle process(pi.hProcess), thread(pi.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.Get(), &code);
    return code;
  }

  qx::test::TempDir dir_;
  qx::test::TestIdentity id_;
  std::string medium_, dest_, components_, printer_;
};

TEST_F(SampleMediumInstall, FactoryInstallThenUninstallOfEveryItem) {
  ASSERT_EQ(1u, RunSetup("/S"));
  const char* const components[] = {"driver", "statmon", "netscan", "utility", "manual"};
  for (const char* c : components) {
    SCOPED_TRACE(c);
    EXPECT_EQ(1u, RegDword(components_ + "\\" + c, "Installed"));
  }
  EXPECT_TRUE(FileExists(dest_ + "\\Driver\\QXL2020.INF"));
  EXPECT_TRUE(FileExists(dest_ + "\\StatMon\\QXL2020.dat"));
  EXPECT_TRUE(FileExists(dest_ + "\\Manual\\index.html"));
  EXPECT_TRUE(FileExists(dest_ + "\\Install\\setup.exe"));
  EXPECT_TRUE(FileExists(dest_ + "\\Install\\sampleitem.exe"));
  // Wine reports Windows 7: the TWAIN item is not for it.
  EXPECT_FALSE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, id_.InstallKey() + "\\Items\\LEGACY_TWAIN"));
  EXPECT_EQ(0xFFFFFFFFu, RegDword(components_ + "\\twain", "Installed"));
  EXPECT_TRUE(PrinterExists(printer_));
  std::string arp = id_.Root() + "\\ARP";
  EXPECT_EQ("QX Laser L2020 Printer Software", RegString(arp, "DisplayName"));
  EXPECT_EQ("1.2.0", RegString(arp, "DisplayVersion"));
  EXPECT_EQ("\"" + dest_ + "\\Install\\setup.exe\" /UNINSTALL", RegString(arp, "UninstallString"));
  EXPECT_EQ("QX Imaging Systems", RegString(arp, "Publisher"));
  EXPECT_EQ(1u, RegDword(arp, "NoModify"));
  EXPECT_NE("(missing)", RegString(id_.UninstallInfoKey(), "StatusMonitor"));

  // Everything ticked for removal, as the uninstall page does, then the library.
  for (const char* item : {"L2020_PRINTER", "STATUS_MONITOR", "NET_SCAN_MANAGER", "DEVICE_UTILITY", "USER_MANUAL"}) {
    std::string key = id_.InstallKey() + "\\Items\\" + item;
    EXPECT_EQ(1u, RegDword(key, "Install_OK")) << item;
    DWORD one = 1;
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), "Uninstall", REG_DWORD, &one, sizeof(one)));
  }
  // The uninstall command is the bare "sampleitem.exe", found beside the calling
  // program: here this test, which has a copy beside it.
  fw::UniqueModule library(LoadLibraryA((dest_ + "\\Install\\data\\qxexec.dll").c_str()));
  ASSERT_TRUE(static_cast<bool>(library));
  using Uninstall = BOOL(__stdcall*)(HWND, const char*, int);
  auto uninstall = reinterpret_cast<Uninstall>(reinterpret_cast<void*>(GetProcAddress(library.Get(), "MyUnInstall")));
  ASSERT_NE(nullptr, uninstall);
  EXPECT_TRUE(uninstall(nullptr, id_.InstallKey().c_str(), 1));
  for (const char* folder : {"Driver", "StatMon", "NetScan", "Utility", "Manual"}) {
    DWORD attributes = GetFileAttributesA((dest_ + "\\" + folder).c_str());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, attributes) << folder;
  }
  EXPECT_FALSE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, components_));
  EXPECT_EQ("(missing)", RegString(id_.UninstallInfoKey(), "StatusMonitor"));
  EXPECT_FALSE(PrinterExists(printer_));
  EXPECT_TRUE(FileExists(dest_ + "\\Install\\setup.exe"));  // the installer's own clean-up removes that
}

}  // namespace
