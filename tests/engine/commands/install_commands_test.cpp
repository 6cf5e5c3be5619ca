// The installation, device and remote commands with the real companion DLLs,
// loaded by file name from beside the test program.
#include <gtest/gtest.h>

#include "companions/contracts/install_states.h"
#include "tests/companions/dll_support.h"
#include "tests/engine/commands/engine_test_support.h"
#include "tests/support/trace_capture.h"

namespace {

using engine::PageKind;
using enginetest::Medium;
using enginetest::TestPage;

HMODULE Module(const qx::test::Dll& dll, const char* name) {
  return dll.Loaded() ? GetModuleHandleA((enginetest::ExeDir() + "\\" + name).c_str()) : nullptr;
}

class InstallCommands : public ::testing::Test {
 protected:
  InstallCommands() {
    op_.Initialise(control_.Handle(), false);
    op_.SetPage(PageKind::kInstall, &page_);
  }
  bool Run(const std::string& type, const std::string& str = "", const std::string& param = "") {
    CommandRecord record(type, str, param);
    return op_.Execute(record);
  }
  void UseLibraries() {
    op_.SetLibrary(CCmdOperator::kInstaller, Module(exec_, "qxexec.dll"));
    op_.SetLibrary(CCmdOperator::kUninstaller, Module(exec_, "qxexec.dll"));
    op_.SetLibrary(CCmdOperator::kUtility, Module(util_, "qxutil.dll"));
    op_.SetLibrary(CCmdOperator::kRemoteInstall, Module(remote_, "qxremote.dll"));
    op_.SetLibrary(CCmdOperator::kDiagnosis, Module(diag_, "qxdiag.dll"));
  }
  // Runs the command from inside the install page's modal loop; the page ends
  // when the worker's finishing report arrives.
  void RunOnPage(const std::string& type) {
    page_.endOnFinish = true;
    page_.onStart.push_back([this, type] { EXPECT_TRUE(Run(type)); });
    CommandRecord open("CT_OPEN_DLG", "INSTALL.PROGRESS");
    EXPECT_TRUE(op_.Execute(open));
  }
  DWORD WorkerExitCode() {
    HANDLE worker = op_.LastWorker();
    if (!worker) return 0xDEAD;
    EXPECT_EQ(WaitForSingleObject(worker, 30000), WAIT_OBJECT_0);
    DWORD code = 0xDEAD;
    GetExitCodeThread(worker, &code);
    return code;
  }

  Medium medium_{"", ""};
  enginetest::ControlWindow control_;
  CCmdOperator op_;
  TestPage page_{"install"};
  qx::test::Dll exec_{(enginetest::ExeDir() + "\\qxexec.dll").c_str()};
  qx::test::Dll util_{(enginetest::ExeDir() + "\\qxutil.dll").c_str()};
  qx::test::Dll remote_{(enginetest::ExeDir() + "\\qxremote.dll").c_str()};
  qx::test::Dll diag_{(enginetest::ExeDir() + "\\qxdiag.dll").c_str()};
};

TEST_F(InstallCommands, PrintTestPageGivesUpAfterElevenTries) {
  EXPECT_FALSE(Run("CT_PRINT_TEST_PAGE"));
  EXPECT_EQ(medium_.CountInLog("[CCmdOperator] Printer Name is "), 11);
  EXPECT_EQ(medium_.CountInLog("[CCmdOperator] Open Printer Fail So it couldn't print test page!!"), 1);
  op_.SetPrinterRetryPause(1);
  EXPECT_FALSE(Run("CT_PRINT_TEST_PAGE", "No Such Printer 42"));
  EXPECT_EQ(medium_.CountInLog("[CCmdOperator] Printer Name is No Such Printer 42"), 11);
}

TEST_F(InstallCommands, InstallWorkerCallsMyInstallAndItsReportsReachThePage) {
  ASSERT_TRUE(exec_.Loaded());
  UseLibraries();
  std::string item = medium_.InstallKey() + "\\Items\\TOOL";
  enginetest::SetString(HKEY_LOCAL_MACHINE, item, "Item_Name", "TOOL");
  enginetest::SetString(HKEY_LOCAL_MACHINE, item, "Command", enginetest::HelperPath());
  enginetest::SetString(HKEY_LOCAL_MACHINE, item, "Param", "from-the-worker");
  enginetest::SetDword(HKEY_LOCAL_MACHINE, item, "Install", 1);
  enginetest::SetDword(HKEY_LOCAL_MACHINE, item, "Success_Return", 1);
  RunOnPage("CT_RUN_INSTALL");
  EXPECT_EQ(page_.reports, (std::vector<unsigned>{2, 1, 6}));
  EXPECT_EQ(WorkerExitCode(), 1u);
  EXPECT_NE(enginetest::ReadFile(medium_.HelperOutput()).find("from-the-worker"), std::string::npos);
  EXPECT_EQ(enginetest::GetDword(HKEY_LOCAL_MACHINE, item, "Install_OK", 0), 1u);
  EXPECT_NE(medium_.Log().find("[CCmdOperator]Call function " + medium_.InstallKey() + " Key\n"), std::string::npos);
}

TEST_F(InstallCommands, UninstallWorkerWithoutALibraryEndsWithCodeZero) {
  EXPECT_TRUE(Run("CT_RUN_UNINSTALL"));
  EXPECT_EQ(WorkerExitCode(), 0u);
}

TEST_F(InstallCommands, UtilityCallsThroughTheRealLibrary) {
  qx::test::NoWorld none;
  EXPECT_FALSE(Run("CT_REFRESH_SYSTEM"));
  EXPECT_FALSE(Run("CT_REMOVE_DEV"));
  EXPECT_FALSE(Run("CT_REMOVEHARDWAREWIZARDDIALOG"));
  EXPECT_TRUE(Run("CT_START_PREVENT_PNP"));
  EXPECT_TRUE(Run("CT_END_PREVENT_PNP"));
  std::string log = medium_.Log();
  for (const char* line : {"[CCmdOperator] Get system refresh function fail\n", "[CCmdOperator] remove unknown device fail\n",
                           "[CCmdOperator] Get remove hardware wizard function fail\n",
                           "[CCmdOperator] StartPreventPnP Function not found!!!!\n",
                           "[CCmdOperator] EndPreventPnP Function not found!!!!\n"}) {
    EXPECT_NE(log.find(line), std::string::npos) << line;
  }
  UseLibraries();
  EXPECT_TRUE(Run("CT_REFRESH_SYSTEM"));
  EXPECT_TRUE(Run("CT_REMOVE_DEV"));
  EXPECT_TRUE(Run("CT_REMOVEHARDWAREWIZARDDIALOG"));
  EXPECT_TRUE(Run("CT_END_PREVENT_PNP"));  // no start before: the library refuses
  EXPECT_TRUE(Run("CT_START_PREVENT_PNP"));
  EXPECT_TRUE(Run("CT_END_PREVENT_PNP"));
  log = medium_.Log();
  std::string model = medium_.Id().Mfg() + "Laser 9000";
  EXPECT_NE(log.find("[CCmdOperator] Remove Unknown Device (" + model + ",VID_2B2B&PID_0101)"), std::string::npos);
  EXPECT_NE(log.find("[CCmdOperator] Prevent PnP End  fail !!!! \n"), std::string::npos);
  EXPECT_NE(log.find("[CCmdOperator] Prevent PnP Start\n"), std::string::npos);
  EXPECT_NE(log.find("[CCmdOperator] Prevent PnP End\n"), std::string::npos);
}

TEST_F(InstallCommands, DiagnosisOnlyForLocalPorts) {
  qx::test::TraceCapture trace;
  EXPECT_FALSE(Run("CT_DIAGNOSIS"));  // no port recorded
  enginetest::SetString(HKEY_LOCAL_MACHINE, medium_.InstallKey(), "Printer_Port", "IP_10.0.0.5");
  EXPECT_FALSE(Run("CT_DIAGNOSIS"));
  EXPECT_NE(medium_.Log().find("[CCmdOperator] No diagnosis for the port [IP_10.0.0.5]\n"), std::string::npos);
  enginetest::SetString(HKEY_LOCAL_MACHINE, medium_.InstallKey(), "Printer_Port", "USB001");
  EXPECT_FALSE(Run("CT_DIAGNOSIS"));
  EXPECT_NE(medium_.Log().find("[CCmdOperator] Get Diagnosis function fail\n"), std::string::npos);
  UseLibraries();
  enginetest::SetString(HKEY_LOCAL_MACHINE, medium_.InstallKey(), "Default_Printer", "Stored Default");
  EXPECT_TRUE(Run("CT_DIAGNOSIS"));
  EXPECT_TRUE(Run("CT_DIAGNOSIS", "Given Printer"));
  std::string traced = trace.Text();
  EXPECT_NE(traced.find("Vexa Laser MFP 9000 PS"), std::string::npos) << traced;
  EXPECT_NE(traced.find("Vexa Laser MFP 9000 PCL 6"), std::string::npos);
  EXPECT_NE(traced.find("Stored Default"), std::string::npos);
  EXPECT_NE(traced.find("Given Printer"), std::string::npos);
}

TEST_F(InstallCommands, DeleteAllRefusesWhileAnItemIsInstalled) {
  enginetest::SetDword(HKEY_LOCAL_MACHINE, medium_.InstallKey() + "\\Items\\A", "Install_OK", 1);
  EXPECT_FALSE(Run("CT_DELETE_ALL"));
  EXPECT_NE(medium_.Log().find("[CCmdOperator] There are more installed items..\n"), std::string::npos);
}

TEST_F(InstallCommands, DeleteAllStartsACopyWithTheClearLine) {
  enginetest::SetDword(HKEY_LOCAL_MACHINE, medium_.InstallKey() + "\\Items\\A", "Install_OK", 0);
  op_.SetProgramForClear(enginetest::HelperPath());
  op_.SetProcessIdForClear(1234);
  std::string copy = medium_.Env().GetTempDir() + "\\engine_helper.exe";
  EXPECT_TRUE(Run("CT_DELETE_ALL"));
  ASSERT_TRUE(enginetest::PumpUntil([&] { return !enginetest::ReadFile(medium_.HelperOutput()).empty(); }, 20000));
  std::string line = enginetest::ReadFile(medium_.HelperOutput());
  std::string expected = "/CLEAR /CLS " + medium_.Id().Program() + " /REG " + medium_.Id().UninstallKey() +
                         " /PID 0x4d2\r\n";
  ASSERT_GE(line.size(), expected.size());
  EXPECT_EQ(line.substr(line.size() - expected.size()), expected) << line;
  EXPECT_EQ(enginetest::GetString(HKEY_LOCAL_MACHINE, medium_.Id().UninstallKey(), "File0"), copy);
  EXPECT_NE(medium_.Log().find("[CCmdOperator] Open Shortcut key fail [" + medium_.InstallKey() + "\\Shortcut] \n"),
            std::string::npos);
  enginetest::PumpUntil([&] { return DeleteFileA(copy.c_str()) != FALSE; }, 10000);
}

class RemoteInstall : public InstallCommands {
 protected:
  std::string Info() { return medium_.InstallKey() + "\\Remote_Info"; }
};

TEST_F(RemoteInstall, EachClientComputerIsReportedAndThePasswordNeverLogged) {
  UseLibraries();
  qx::test::WorldFile world(
      "[Account:a]\nUser=admin\nPassword=s3cret-Pw\nDomain=\n"
      "[Computer:1]\nName=CLIENT-01\nAdmins=admin\n[Computer:2]\nName=CLIENT-02\nAdmins=admin\nInstallResult=0\n");
  enginetest::SetString(HKEY_LOCAL_MACHINE, Info(), "User_Name", "admin");
  enginetest::SetString(HKEY_LOCAL_MACHINE, Info(), "Password", "s3cret-Pw");
  enginetest::SetString(HKEY_LOCAL_MACHINE, Info(), "Domain", "");
  enginetest::SetDword(HKEY_LOCAL_MACHINE, Info(), "NumOfPCs", 2);
  enginetest::SetString(HKEY_LOCAL_MACHINE, Info(), "PC_0", "CLIENT-01");
  enginetest::SetString(HKEY_LOCAL_MACHINE, Info(), "PC_1", "CLIENT-02");
  qx::test::TempDir traces;
  SetEnvironmentVariableA("QX_TRACE_FILE", traces.File("trace.txt").c_str());
  RunOnPage("CT_RUN_REMOTE_INSTALL");
  SetEnvironmentVariableA("QX_TRACE_FILE", nullptr);
  // CLIENT-01's success shows the registry file was there while the library ran.
  EXPECT_EQ(page_.reports, (std::vector<unsigned>{2, 1, 2, 0, 6}));
  EXPECT_EQ(WorkerExitCode(), 1u);
  EXPECT_FALSE(qx::test::KeyExists(HKEY_LOCAL_MACHINE, medium_.InstallKey()));
  // The file holds the password in clear text: gone once the worker is done.
  std::string registryFile = medium_.Env().GetTempDir() + "\\RtReg.reg";
  EXPECT_EQ(GetFileAttributesA(registryFile.c_str()), INVALID_FILE_ATTRIBUTES);
  std::string trace = qx::test::TempDir::Read(traces.File("trace.txt"));
  EXPECT_NE(trace.find("[qxremote] DoRemoteInstall"), std::string::npos);
  EXPECT_EQ(trace.find("s3cret-Pw"), std::string::npos);
  std::string log = medium_.Log();
  EXPECT_EQ(log.find("s3cret-Pw"), std::string::npos);
  EXPECT_NE(log.find(" Password = ********\n"), std::string::npos);
  EXPECT_NE(log.find(" Remote IP = CLIENT-02\n"), std::string::npos);
  EXPECT_NE(log.find(" Cmdline = setup.exe /Remote"), std::string::npos);
  DeleteFileA(registryFile.c_str());
}

TEST_F(RemoteInstall, MissingInformationEndsAtOnce) {
  UseLibraries();
  enginetest::SetString(HKEY_LOCAL_MACHINE, Info(), "User_Name", "admin");
  enginetest::SetString(HKEY_LOCAL_MACHINE, Info(), "Password", "hidden-pw");
  RunOnPage("CT_RUN_REMOTE_INSTALL");
  EXPECT_EQ(page_.reports, std::vector<unsigned>{6});
  EXPECT_EQ(WorkerExitCode(), 0u);
  std::string log = medium_.Log();
  EXPECT_NE(log.find("[CCmdOperator] Get Remote Install Information fail"), std::string::npos);
  EXPECT_EQ(log.find("hidden-pw"), std::string::npos);
  EXPECT_NE(log.find("dwNumOfPCs = 0"), std::string::npos);
  EXPECT_EQ(GetFileAttributesA((medium_.Env().GetTempDir() + "\\RtReg.reg").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(RemoteInstall, WithoutTheUtilityFunctionNothingStarts) {
  EXPECT_FALSE(Run("CT_RUN_REMOTE_INSTALL"));
  EXPECT_NE(medium_.Log().find("[CCmdOperator] Get function fail!! (SaveFile)\n"), std::string::npos);
  EXPECT_EQ(op_.LastWorker(), nullptr);
}

}  // namespace
