// The test-page command on a real printer: the install worker registers a
// printer item with the spooler through the real installation library, the
// command opens that printer and picks the print interface by system.
#include <gtest/gtest.h>

#include "tests/companions/dll_support.h"
#include "tests/engine/commands/engine_test_support.h"

namespace {

using engine::PageKind;
using enginetest::Medium;
using enginetest::TestPage;

class PrintTestPage : public ::testing::Test {
 protected:
  PrintTestPage() {
    op_.Initialise(nullptr, false);
    op_.SetPage(PageKind::kInstall, &page_);
    HMODULE exec = GetModuleHandleA((enginetest::ExeDir() + "\\qxexec.dll").c_str());
    op_.SetLibrary(CCmdOperator::kInstaller, exec);
    op_.SetLibrary(CCmdOperator::kUninstaller, exec);
  }
  ~PrintTestPage() override {
    // Take the printer away again through the uninstaller.
    enginetest::SetDword(HKEY_LOCAL_MACHINE, Item(), "Uninstall", 1);
    RunOnPage("CT_RUN_UNINSTALL");
  }
  std::string Item() { return medium_.InstallKey() + "\\Items\\PRINTER_PCL"; }
  void RunOnPage(const std::string& type) {
    page_.reports.clear();
    page_.endOnFinish = true;
    page_.onStart.push_back([this, type] {
      CommandRecord record(type, "");
      EXPECT_TRUE(op_.Execute(record));
    });
    CommandRecord open("CT_OPEN_DLG", "INSTALL.PROGRESS");
    op_.Execute(open);
    WaitForSingleObject(op_.LastWorker(), 30000);
  }
  bool Print(const std::string& printer) {
    CommandRecord record("CT_PRINT_TEST_PAGE", printer);
    return op_.Execute(record);
  }

  Medium medium_{"", ""};
  qx::test::Dll exec_{(enginetest::ExeDir() + "\\qxexec.dll").c_str()};
  CCmdOperator op_;
  TestPage page_{"install"};
  std::string printer_ = medium_.Id().Mfg() + " Laser";
};

TEST_F(PrintTestPage, OpensTheInstalledDefaultPrinterAndPrintsThroughPrintUi) {
  ASSERT_TRUE(exec_.Loaded());
  enginetest::SetDword(HKEY_LOCAL_MACHINE, Item(), "Install", 1);
  enginetest::SetDword(HKEY_LOCAL_MACHINE, Item(), "Printer", 1);
  enginetest::SetString(HKEY_LOCAL_MACHINE, Item(), "Driver_Name", medium_.Id().Mfg() + " Laser PCL");
  enginetest::SetString(HKEY_LOCAL_MACHINE, Item(), "Printer_Name", printer_);
  enginetest::SetString(HKEY_LOCAL_MACHINE, medium_.InstallKey(), "Default_Printer", printer_);
  RunOnPage("CT_RUN_INSTALL");
  ASSERT_EQ(page_.reports, (std::vector<unsigned>{2, 1, 6}));

  // The Windows 2000 family prints through printui.dll; so does every system
  // under Wine, whose shell32 has no SHInvokePrinterCommandA.
  coretest::ScopedVersion xp(VER_PLATFORM_WIN32_NT, 5, 1);
  EXPECT_TRUE(Print(""));
  std::string log = medium_.Log();
  EXPECT_EQ(log.find("[CCmdOperator] Printer Name is"), std::string::npos) << log;
  EXPECT_EQ(log.find("Open Printer Fail"), std::string::npos);
  EXPECT_NE(log.find("[CCmdOperator] Print Test Page ( /k /n\"" + printer_ + "\" )"), std::string::npos) << log;
  EXPECT_NE(log.find("[CCmdOperator] Printing test page has been started (by 'PrintUIEntryW')"), std::string::npos);
  EXPECT_TRUE(Print(printer_));
  EXPECT_EQ(medium_.CountInLog("Printing test page has been started"), 2);
}

}  // namespace
