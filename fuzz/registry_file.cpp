// The saved registry text file: section names and value lines, read by the
// installer's registry store and by the utility library, which must agree;
// a value written in the format reads back as it was.
#include "companions/util/reg_file.h"
#include "fuzz/harness.h"
#include "setup/scriptlib/registry_rules.h"

namespace {

int KindNumber(scriptlib::ValueLineKind kind) { return static_cast<int>(kind); }
int KindNumber(qx::util::LineKind kind) { return static_cast<int>(kind); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const std::string& raw : fuzz::Lines(fuzz::AsText(data, size))) {
    // The utility library reads raw lines, NUL bytes and all; the store gets
    // C strings from the script reader, and there the two must agree.
    qx::util::ValueLine rawValue;
    qx::util::ParseValueLine(raw, &rawValue);
    const std::string line = fuzz::CText(raw);
    HKEY storeHive = nullptr, utilityHive = nullptr;
    std::string storePath, utilityPath;
    scriptlib::ParseRegistrySection(line, &storeHive, &storePath);
    qx::util::SplitSectionName(line, &utilityHive, &utilityPath);
    FUZZ_EXPECT(storeHive == utilityHive && storePath == utilityPath);
    FUZZ_EXPECT(scriptlib::HexFromEnd(line) == qx::util::ParseHexDword(line));

    scriptlib::ValueLine store = scriptlib::ParseValueLine(line);
    qx::util::ValueLine utility;
    bool hasEquals = qx::util::ParseValueLine(line, &utility);
    FUZZ_EXPECT(hasEquals == (line.find('=') != std::string::npos));
    if (!hasEquals) {
      FUZZ_EXPECT(store.kind == scriptlib::ValueLineKind::kUnknown);
      continue;
    }
    FUZZ_EXPECT(KindNumber(store.kind) == KindNumber(utility.kind));
    FUZZ_EXPECT(store.name == utility.name);
    if (store.kind == scriptlib::ValueLineKind::kString) FUZZ_EXPECT(store.text == utility.text);
    if (store.kind == scriptlib::ValueLineKind::kDword) FUZZ_EXPECT(store.dword == utility.dword);

    // Written again in the format, the value reads back unchanged.
    if (store.name.find('=') != std::string::npos) continue;
    if (store.kind == scriptlib::ValueLineKind::kString) {
      scriptlib::ValueLine again = scriptlib::ParseValueLine(qx::util::StringLine(store.name, store.text));
      FUZZ_EXPECT(again.kind == store.kind && again.name == store.name && again.text == store.text);
    } else if (store.kind == scriptlib::ValueLineKind::kDword) {
      scriptlib::ValueLine again = scriptlib::ParseValueLine(scriptlib::QuotedName(store.name) + "=" +
                                                             scriptlib::DwordData(store.dword));
      FUZZ_EXPECT(again.kind == store.kind && again.name == store.name && again.dword == store.dword);
    }
  }
  return 0;
}
