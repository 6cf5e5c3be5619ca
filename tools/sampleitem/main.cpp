// sampleitem.exe: the item program of the sample installation medium. The
// installation library runs it for each ticked item ("install") and for each
// item marked for removal ("uninstall"); its exit code is compared with the
// item's success return.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/trace.h"
#include "tools/sampleitem/item_ops.h"
#include "tools/sampleitem/item_rules.h"

namespace {

constexpr const char* kUsage =
    "usage: sampleitem [--key <registry path>] install <dest-dir> <component> [<source>]\n"
    "       sampleitem [--key <registry path>] uninstall [<dest-dir>] <component>\n"
    "       sampleitem [--key <registry path>] status <component>\n"
    "The payload of a component is <medium>\\Payload\\<component> unless <source> names one.\n"
    "Without <dest-dir>, uninstall takes the folder recorded when the component was installed.\n"
    "The component is recorded below HKEY_LOCAL_MACHINE\\<registry path>\\<component>\n"
    "(default Software\\QX\\Components). Exit code 0 on success.\n";

std::string ProgramPath() {
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

int Report(int code, const std::string& text) {
  qx::Trace("[sampleitem] %s (exit %d)\n", text.c_str(), code);
  std::fprintf(code == sampleitem::kOk ? stdout : stderr, "sampleitem: %s\n", text.c_str());
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  sampleitem::ParseResult parsed = sampleitem::ParseArguments(args);
  if (!parsed.ok) {
    std::fputs(kUsage, stderr);
    return Report(sampleitem::kUsage, parsed.error);
  }
  const sampleitem::Request& q = parsed.request;
  std::string message;
  switch (q.verb) {
    case sampleitem::Verb::kHelp:
      std::fputs(kUsage, stdout);
      return sampleitem::kOk;
    case sampleitem::Verb::kInstall: {
      int code = sampleitem::InstallComponent(q, sampleitem::MediumRoot(ProgramPath()), &message);
      return Report(code, message);
    }
    case sampleitem::Verb::kUninstall: {
      int code = sampleitem::UninstallComponent(q, &message);
      return Report(code, message);
    }
    case sampleitem::Verb::kStatus: {
      sampleitem::ComponentRecord r = sampleitem::ReadComponentRecord(q.registryKey, q.component);
      if (!r.present || r.installed != 1) return Report(sampleitem::kNotInstalled, q.component + " is not installed");
      return Report(sampleitem::kOk, q.component + " is installed in " + r.path + " (" + std::to_string(r.files) +
                                         " file(s) from " + r.source + ")");
    }
  }
  return sampleitem::kUsage;
}
