// The checker on media the tests write: a clean medium reports nothing; each
// medium with one fault reports it once, at its file and line; the sample
// medium is clean; the program's exit codes and --lang.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/process.h"
#include "tests/support/temp_dir.h"
#include "tools/mediumcheck/tests/test_medium.h"

namespace mediumcheck::test {
namespace {

std::string Describe(const Report& report) {
  std::string all;
  for (const Finding& f : report.Sorted()) all += FormatFinding("", f) + "\n";
  return all;
}

struct Fault {
  const char* name;
  const char* file;     // the file changed ("" with remove)
  const char* find;     // replaced once
  const char* replace;
  const char* remove;   // a file removed instead
  Severity severity;
  const char* reportedIn;
  const char* marker;   // the finding's line is the last line of this text in reportedIn ("" line 1)
  const char* fragment;
  const char* add = "";  // a file added
};

const char* const kNesting =
    "[END_STEPS]\nCT_COMMAND=N1\n[N1]\nCT_COMMAND=N2\n[N2]\nCT_COMMAND=N3\n[N3]\nCT_COMMAND=N4\n"
    "[N4]\nCT_COMMAND=N5\n[N5]\nCT_COMMAND=N6\n[N6]\nCT_COMMAND=N7\n[N7]\nCT_REFRESH_SYSTEM=";
const char* const kNeverSelected =
    "CHK_LC_TYPICAL=0\nCHK_LC_CUSTOM=0\nCHK_NW_LC_PRINTER=0\nCHK_NW_LC_SERVER=0\nCHK_NW_RT_PRINTER=0\n"
    "CHK_NW_RT_SERVER=0";

constexpr Severity E = Severity::kError;
constexpr Severity W = Severity::kWarning;

const Fault kFaults[] = {
    {"program info key", "setup.dat", "MDL=TST-1\n", "", "", E, "setup.dat", "[PROGRAM_INFO]", "MDL"},
    {"fixed-item section", "setup.cfg", "FIXED_ITEM=PICK.FIXED", "FIXED_ITEM=PICK.FIX", "", E, "setup.cfg",
     "FIXED_ITEM=PICK.FIX", "PICK.FIX]"},
    {"command section", "setup.cfg", "CT_COMMAND=END_STEPS", "CT_COMMAND=END_STEP", "", E, "setup.cfg",
     "CT_COMMAND=END_STEP", "[END_STEP]"},
    {"object section", "setup.cfg", "OBJ_2=MAIN.LINK_LICENSE", "OBJ_2=MAIN.LINK_LICENCE", "", E, "setup.cfg",
     "OBJ_2=MAIN.LINK_LICENCE", "MAIN.LINK_LICENCE"},
    {"font section", "setup.cfg", "FONT=FONT.BIG", "FONT=FONT.BAG", "", E, "setup.cfg", "FONT=FONT.BAG",
     "FONT.BAG"},
    {"registry section", "setup.cfg", "ADD_REG.UNINSTKEY", "ADD_REG.UNINST", "", E, "setup.cfg",
     "ADD_UNINST_REG_KEY=ADD_REG.UNINST", "ADD_REG.UNINST]"},
    {"copy section", "setup.cfg", "CT_COPY_FILE=FILES.COPY", "CT_COPY_FILE=FILES.COPIES", "", E, "setup.cfg",
     "CT_COPY_FILE=FILES.COPIES", "FILES.COPIES"},
    {"end section", "setup.cfg", "[REMOTE_END_CMD]\nCT_END_PREVENT_PNP=\n", "", "", E, "setup.cfg", "",
     "REMOTE_END_CMD"},
    {"cancel key", "setup.cfg", "CANCEL_MSG=MSG_CANCEL", "CANCEL_MESSAGE=MSG_CANCEL", "", E, "setup.cfg",
     "[CANCEL_DLG]", "CANCEL_MSG"},
    {"page prefix", "setup.cfg", "CT_OPEN_DLG=FINISH.DONE", "CT_OPEN_DLG=FINISHED", "", E, "setup.cfg",
     "CT_OPEN_DLG=FINISHED", "selects no page"},
    {"command word", "setup.cfg", "[END_STEPS]\nCT_REFRESH_SYSTEM=", "[END_STEPS]\nCT_REFRESH_SYSTEMS=", "", E,
     "setup.cfg", "[END_STEPS]\nCT_REFRESH_SYSTEMS=", "CT_REFRESH_SYSTEMS"},
    {"command cycle", "setup.cfg", "[END_STEPS]\nCT_REFRESH_SYSTEM=", "[END_STEPS]\nCT_COMMAND=INST_END_CMD", "",
     E, "setup.cfg", "[END_STEPS]\nCT_COMMAND=INST_END_CMD", "cycle"},
    {"command nesting", "setup.cfg", "[END_STEPS]\nCT_REFRESH_SYSTEM=", kNesting, "", E, "setup.cfg",
     "[N6]\nCT_COMMAND=N7", "deeper than 8"},
    {"message key", "Lang\\setupGR.str", "BTN_OK=OK\n", "", "", E, "setup.cfg", "BUTTON_OK_NAME=BTN_OK",
     "setupGR.str"},
    {"percent token", "setup.cfg", "CAPTION=%PRODUCT%", "CAPTION=%PRODUKT%", "", E, "setup.cfg",
     "CAPTION=%PRODUKT%", "%PRODUKT%"},
    {"variable", "setup.cfg", "$LANG_ABBR$.txt", "$LANG_ABR$.txt", "", E, "setup.cfg", "LICENSE_FILE=",
     "$LANG_ABR$"},
    {"bitmap", "setup.cfg", "BACK_BMP=IDB_BACKGROUND", "BACK_BMP=IDB_NOWHERE", "", E, "setup.cfg",
     "BACK_BMP=IDB_NOWHERE", "IDB_NOWHERE"},
    {"licence file", "", "", "", "License\\GR.txt", E, "setup.cfg", "LICENSE_FILE=", "License\\GR.txt"},
    {"item program", "setup.dat", "$SRC_DIR$\\item.exe", "$SRC_DIR$\\items.exe", "", E, "setup.dat",
     "INST_CMDSTR=", "items.exe"},
    {"counts", "setup.dat", "COUNTS=1", "COUNTS=2", "", E, "setup.dat", "COUNTS=2", "ITEM_1"},
    {"check number", "setup.dat", "CHK_LC_TYPICAL=2", "CHK_LC_TYPICAL=7", "", E, "setup.dat",
     "CHK_LC_TYPICAL=7", "0-5"},
    {"os string", "setup.dat", "UNSUPPORTED_OS=WINXP", "UNSUPPORTED_OS=WINXP,WIN2K", "", E, "setup.dat",
     "UNSUPPORTED_OS=", "WIN2K"},
    {"string file", "setup.dat", "0X0407 German\n", "0X0407 German\n0X0410 Italian\n", "", E, "setup.dat",
     "0X0410 Italian", "Lang\\setupIT.str", "License\\IT.txt"},
    {"position", "setup.cfg", "POS_1=300,260", "POS_1=300", "", E, "setup.cfg", "POS_1=300", "position"},
    {"size", "setup.cfg", "SIZE=80,26", "SIZE=80x26", "", E, "setup.cfg", "SIZE=80x26", "size"},
    {"rectangle", "setup.cfg", "LIST_ITEMS_RECT=10,10,380,200", "LIST_ITEMS_RECT=10,10,380", "", E, "setup.cfg",
     "LIST_ITEMS_RECT=", "rectangle"},
    {"colour", "setup.cfg", "OFF_COLOR=0,0,0", "OFF_COLOR=0,0", "", E, "setup.cfg", "OFF_COLOR=", "colour"},
    {"comment after value", "setup.dat", "MDL=TST-1", "MDL=TST-1 // the model", "", W, "setup.dat", "MDL=",
     "comment"},
    {"trailing blank", "Lang\\setupEN.str", "MSG_TITLE=Title", "MSG_TITLE=Title ", "", W, "Lang\\setupEN.str",
     "MSG_TITLE=", "trailing blank"},
    {"outside the page", "setup.cfg", "POS_1=300,260", "POS_1=330,260", "", W, "setup.cfg", "POS_1=330",
     "outside"},
    {"overlap", "setup.cfg", "POS_2=10,100", "POS_2=10,20", "", W, "setup.cfg", "POS_2=10,20", "overlaps"},
    {"text too wide", "Lang\\setupGR.str", "LINK_LICENSE=Licence",
     "LINK_LICENSE=Lizenzvereinbarung des Herstellers lesen", "", W, "Lang\\setupGR.str", "LINK_LICENSE=",
     "pixels wide"},
    {"item never selected", "setup.dat", "CHK_LC_TYPICAL=2", kNeverSelected, "", W, "setup.dat", "[MAIN_ITEM]",
     "never installed"},
    {"value never read", "setup.cfg", "[FONT.BIG]\nLF_HEIGHT=-14", "[FONT.BIG]\nLF_HIGHT=-14", "", W, "setup.cfg",
     "LF_HIGHT=", "never read"},
};

int LineOf(const std::string& text, const std::string& marker) {
  if (marker.empty()) return 1;
  size_t at = text.find(marker);
  if (at == std::string::npos) return -1;
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + at + marker.size(), '\n'));
}

TEST(MediumCheckFaults, CleanMediumReportsNothing) {
  qx::test::TempDir dir;
  WriteMedium(dir, CleanMedium());
  Report report = CheckFolder(dir.Path());
  EXPECT_EQ(0, report.Errors() + report.Warnings()) << Describe(report);
}

TEST(MediumCheckFaults, EachFaultOnceAtItsLine) {
  for (const Fault& fault : kFaults) {
    SCOPED_TRACE(fault.name);
    Files files = CleanMedium();
    if (*fault.file) {
      std::string& text = files[fault.file];
      size_t at = text.find(fault.find);
      ASSERT_NE(std::string::npos, at) << fault.find;
      text.replace(at, strlen(fault.find), fault.replace);
    }
    if (*fault.remove) files.erase(fault.remove);
    if (*fault.add) files[fault.add] = "added\n";
    qx::test::TempDir dir;
    WriteMedium(dir, files);
    Report report = CheckFolder(dir.Path());
    int line = LineOf(files[fault.reportedIn], fault.marker);
    ASSERT_GT(line, 0) << fault.marker;
    // Exactly one finding of the fault's kind; an error may leave a section
    // unread as well, a warning stands alone.
    int matching = 0, sameSeverity = 0;
    for (const Finding& f : report.Sorted()) {
      if (f.severity != fault.severity) continue;
      ++sameSeverity;
      if (f.file == fault.reportedIn && f.line == line && f.text.find(fault.fragment) != std::string::npos) {
        ++matching;
      }
    }
    EXPECT_EQ(1, matching) << "expected " << fault.reportedIn << ":" << line << " " << fault.fragment << "\n"
                           << Describe(report);
    EXPECT_EQ(1, sameSeverity) << Describe(report);
    if (fault.severity == Severity::kWarning) EXPECT_EQ(0, report.Errors()) << Describe(report);
  }
}

TEST(MediumCheckFaults, SampleMediumIsClean) {
  std::string medium = BuildDir() + "\\medium";
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((medium + "\\setup.dat").c_str()))
      << "build the sample_medium target";
  Report report = CheckFolder(medium);
  EXPECT_EQ(0, report.Errors() + report.Warnings()) << Describe(report);
}

// The program: exit codes, --warnings-as-errors and --lang.
TEST(MediumCheckProgram, ExitCodes) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string program = std::string(self).substr(0, std::string(self).find_last_of('\\')) + "\\mediumcheck.exe";

  Files warning = CleanMedium();
  warning["Lang\\setupEN.str"].replace(warning["Lang\\setupEN.str"].find("MSG_TITLE=Title"), 15, "MSG_TITLE=Title ");
  Files missingInGerman = CleanMedium();
  missingInGerman["Lang\\setupGR.str"].replace(missingInGerman["Lang\\setupGR.str"].find("BTN_OK=OK\n"), 10, "");

  struct Case {
    const char* name;
    const Files files;
    const char* arguments;
    DWORD exitCode;
  };
  const Case cases[] = {
      {"clean", CleanMedium(), "", 0},
      {"clean, warnings as errors", CleanMedium(), "--warnings-as-errors", 0},
      {"a warning", warning, "", 0},
      {"a warning as an error", warning, "--warnings-as-errors", 1},
      {"an error", missingInGerman, "", 1},
      {"an error of another language", missingInGerman, "--lang EN", 0},
      {"the error's language", missingInGerman, "--lang GR", 1},
      {"the error's language by id", missingInGerman, "--lang 0x0407", 1},
      {"a warning of another language", warning, "--warnings-as-errors --lang gr", 0},
      {"no such language", CleanMedium(), "--lang IT", 2},
      {"no folder", CleanMedium(), "--warnings-as-errors", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    qx::test::TempDir dir;
    WriteMedium(dir, c.files);
    std::string args = c.arguments;
    if (std::string(c.name) != "no folder") args += " \"" + dir.Path() + "\"";
    qx::test::Process process;
    ASSERT_TRUE(process.Start(program, args));
    DWORD code = 99;
    ASSERT_TRUE(process.Wait(60000, &code));
    EXPECT_EQ(c.exitCode, code);
  }
}

}  // namespace
}  // namespace mediumcheck::test
