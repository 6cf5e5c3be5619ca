// setup.exe and statmon.exe never load a library planted under the name of a
// system library they load at run time: not from beside the program, not from
// the current folder, not from a folder on PATH. Wine is told (per program,
// in its AppDefaults) to prefer a native file of those names wherever its
// search finds one, as Windows does, and a plain load by bare name from the
// same folder shows that the planted copies would be taken.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"
#include "tests/statmon/sm_test_support.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/watchdog.h"

namespace {

using qx::test::TempDir;

// Names of system libraries loaded at run time by bare name, by the programs
// or by the system on their behalf. Left out: what the system loads while the
// process starts, before any code of the program runs, for the imports of the
// program and of the system libraries it imports (the monitor imports the
// setup and spooler interfaces; under Wine the version and theme libraries
// come in that way as well).
const std::vector<std::string> kSetupNames = {"netapi32.dll", "setupapi.dll", "printui.dll", "shfolder.dll",
                                              "msimg32.dll"};
const std::vector<std::string> kMonitorNames = {"netapi32.dll", "printui.dll", "shfolder.dll", "msimg32.dll"};

constexpr UINT kMonitorExit = WM_USER + 305;

// Wine takes its own copy of a system library unless told otherwise; a child
// process does not see WINEDLLOVERRIDES set here, so the preference goes into
// the registry for the program's file name while the object lives.
class NativeFirst {
 public:
  NativeFirst(const std::string& exeName, const std::vector<std::string>& names)
      : key_("Software\\Wine\\AppDefaults\\" + exeName) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, (key_ + "\\DllOverrides").c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
      return;
    }
    for (const auto& name : names) {
      bool driver = name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".drv") == 0;
      std::string value = driver ? name : name.substr(0, name.rfind('.'));
      RegSetValueExA(key, value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15);
    }
    RegCloseKey(key);
  }
  ~NativeFirst() { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }
  NativeFirst(const NativeFirst&) = delete;
  NativeFirst& operator=(const NativeFirst&) = delete;

 private:
  std::string key_;
};

std::string ProbePath() { return e2e::BuildPath("tests/support/planted_probe.dll"); }

std::string Variable(const char* name) {
  char value[32768] = {};
  DWORD n = GetEnvironmentVariableA(name, value, sizeof(value));
  return n > 0 && n < sizeof(value) ? value : "";
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

// The folders that get the planted copies: beside the program, the current
// folder of the run and a folder put first on PATH.
class Plantings {
 public:
  explicit Plantings(const std::string& programFolder) : folders_{programFolder, current_.Path(), onPath_.Path()} {}

  void Plant(const std::string& name) {
    for (const auto& folder : folders_) CopyFileA(ProbePath().c_str(), (folder + "\\" + name).c_str(), FALSE);
    names_.push_back(name);
  }
  void Plant(const std::vector<std::string>& names) {
    for (const auto& name : names) Plant(name);
  }
  // The run's PATH, with the planted folder first.
  qx::test::Environment Environment() const { return {{"PATH", onPath_.Path() + ";" + Variable("PATH")}}; }
  const std::vector<std::string>& Names() const { return names_; }
  const std::string& CurrentFolder() const { return current_.Path(); }
  // "folder\name" of every planted copy that was loaded.
  std::vector<std::string> Loaded() const {
    std::vector<std::string> loaded;
    for (const auto& folder : folders_) {
      for (const auto& name : names_) {
        std::string path = folder + "\\" + name;
        if (qx::test::FileExists(path + ".loaded")) loaded.push_back(path);
      }
    }
    return loaded;
  }

 private:
  TempDir current_, onPath_;
  std::vector<std::string> folders_;
  std::vector<std::string> names_;
};

class PlantedLibraries : public ::testing::Test {
 protected:
  void SetUp() override { qx::test::SetWatchdogLimit(170); }
};

TEST_F(PlantedLibraries, APlainLoadByBareNameWouldTakeThem) {
  TempDir folder;
  std::string control = folder.File("plant_control.exe");
  ASSERT_TRUE(CopyFileA(e2e::BuildPath("tests/support/plant_control.exe").c_str(), control.c_str(), FALSE));
  Plantings plantings(folder.Path());
  plantings.Plant(kSetupNames);
  NativeFirst preference("plant_control.exe", plantings.Names());
  for (const auto& name : kSetupNames) {
    qx::test::Process run;
    ASSERT_TRUE(run.Start(control, name, plantings.Environment(), plantings.CurrentFolder()));
    DWORD code = 99;
    ASSERT_TRUE(run.Wait(60000, &code)) << name;
    EXPECT_EQ(code, 0u) << name;
    EXPECT_TRUE(qx::test::FileExists(folder.File(name) + ".loaded")) << name << "\n" << Join(plantings.Loaded());
  }
}

TEST_F(PlantedLibraries, SetupLoadsNoneOfThem) {
  e2e::SetupMedium medium;
  // Under a file name of its own (with its data file), so that the
  // preference for native files concerns this run alone.
  const std::string exe = medium.Dir() + "\\qxplanted.exe";
  ASSERT_TRUE(CopyFileA(medium.Exe().c_str(), exe.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(medium.DataFile().c_str(), (medium.Dir() + "\\qxplanted.dat").c_str(), FALSE));
  Plantings plantings(medium.Dir());
  plantings.Plant(kSetupNames);
  NativeFirst preference("qxplanted.exe", plantings.Names());
  // The start-up binds the system functions and loads the companion
  // libraries; the reinstall run then ends.
  qx::test::Environment environment = medium.RunEnvironment(medium.TempDir(), IDOK);
  for (const auto& variable : plantings.Environment()) environment.push_back(variable);
  qx::test::Process run;
  ASSERT_TRUE(run.Start(exe, "/REINSTALL", environment, plantings.CurrentFolder()));
  DWORD code = 0;
  ASSERT_TRUE(run.Wait(90000, &code));
  EXPECT_EQ(code, 1u);
  std::string log = qx::test::TempDir::Read(medium.TempDir() + "\\qxplanted.exe.log");
  EXPECT_NE(log.find("[CQXInstApp] Start Reinstall"), std::string::npos) << log;
  EXPECT_EQ(log.find("LoadLibrary fail"), std::string::npos) << log;  // the companions loaded by full path
  EXPECT_EQ(log.find("[CAPIFunction]"), std::string::npos) << log;   // the system functions bound
  EXPECT_TRUE(plantings.Loaded().empty()) << Join(plantings.Loaded());
}

class MonitorPlantings : public PlantedLibraries {
 protected:
  void SetUp() override {
    PlantedLibraries::SetUp();
    cls_ = "QX Planted Monitor " + std::to_string(GetCurrentProcessId()) + "." + std::to_string(GetTickCount());
    // Under a file name of its own, for the preference for native files.
    exe_ = smtest::InstallSample(dir_, "QXPlanted.exe");
    std::string config = smtest::ReadMedia("QXL2020.dat");
    size_t at = config.find("Class=");
    config.replace(at, config.find('\n', at) - at, "Class=" + cls_);
    dir_.Write("QXPlanted.dat", config);
    dir_.Write("world.ini", "[PRINTER.USB001]\nMDL=MFG:QX;MDL:QX-L2020;\nStatus=01 01 00 00 00 32 0A 00\n");
  }
  // Starts the monitor in toner mode and waits for its window, then ends it.
  // Returns the exit code, or -1 when the window never came.
  long RunUntilItsWindowShows(const Plantings& plantings, DWORD* exitCode) {
    qx::test::Environment environment = plantings.Environment();
    environment.push_back({"QX_WORLD_FILE", dir_.File("world.ini")});
    qx::test::Process run;
    if (!run.Start(exe_, "", environment, plantings.CurrentFolder())) return -1;
    bool shown = smtest::WaitFor([&] { return FindWindowA(cls_.c_str(), cls_.c_str()) != nullptr || !run.Running(); },
                                 60000);
    if (HWND frame = FindWindowA(cls_.c_str(), cls_.c_str())) PostMessageA(frame, kMonitorExit, 0, 0);
    if (!run.Wait(30000, exitCode)) run.Kill();
    return shown ? 0 : -1;
  }
  TempDir dir_;
  std::string cls_, exe_;
};

TEST_F(MonitorPlantings, StatmonLoadsNoneOfThem) {
  Plantings plantings(dir_.Path());
  plantings.Plant(kMonitorNames);
  NativeFirst preference("QXPlanted.exe", plantings.Names());
  DWORD code = 0;
  ASSERT_EQ(RunUntilItsWindowShows(plantings, &code), 0);
  EXPECT_TRUE(plantings.Loaded().empty()) << Join(plantings.Loaded());
}

// The device-monitor library named without a folder is taken from beside the
// program, else from the system folder: a copy in the current folder or on
// PATH is not loaded, and the monitor ends as it does without the library.
TEST_F(MonitorPlantings, TheDeviceMonitorLibraryIsNotTakenFromTheCurrentFolderOrPath) {
  ASSERT_TRUE(DeleteFileA(dir_.File("smdevmon.dll").c_str()));
  TempDir elsewhere;
  Plantings plantings(elsewhere.Path());
  plantings.Plant("smdevmon.dll");
  NativeFirst preference("QXPlanted.exe", plantings.Names());
  qx::test::Environment environment = plantings.Environment();
  qx::test::Process run;
  ASSERT_TRUE(run.Start(exe_, "", environment, plantings.CurrentFolder()));
  DWORD code = 99;
  ASSERT_TRUE(run.Wait(60000, &code));
  EXPECT_EQ(code, 0u);  // the library could not be loaded
  EXPECT_TRUE(plantings.Loaded().empty()) << Join(plantings.Loaded());
}

}  // namespace
