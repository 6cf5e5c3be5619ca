#include "tests/statmon/sm_test_support.h"

#include <vector>

namespace smtest {

std::string BuildFile(const std::string& relative) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof(path));
  std::string dir(path);
  // <build>\tests\statmon\<test>.exe
  for (int i = 0; i < 3; ++i) dir = dir.substr(0, dir.find_last_of('\\'));
  return dir + "\\" + relative;
}

std::string MediaDir() { return QX_SM_MEDIA_DIR; }

std::string ReadMedia(const std::string& name) { return qx::test::TempDir::Read(MediaDir() + "\\" + name); }

std::string InstallSample(const qx::test::TempDir& dir, const std::string& exeName) {
  std::string exe = dir.File(exeName);
  CopyFileA(BuildFile("statmon\\statmon.exe").c_str(), exe.c_str(), FALSE);
  CopyFileA(BuildFile("companions\\devmon\\smdevmon.dll").c_str(), dir.File("smdevmon.dll").c_str(), FALSE);
  for (const char* name : {"QXL2020.dat", "smcode.dat", "MulLang\\SMen.trs", "MulLang\\SMHB.trs"})
    dir.Write(name, ReadMedia(name));
  return exe;
}

}  // namespace smtest
