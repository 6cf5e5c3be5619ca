// Command records as scripts write them: command-section lines, command
// words, page sections, ITEM:PROGRAM, copy and delete entries, registry
// values and the ADD_REG entry of a record.
#include "fuzz/harness.h"
#include "setup/core/utl_rules.h"
#include "setup/engine/command_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const std::string& line : fuzz::Lines(fuzz::AsText(data, size))) {
    CommandRecord record = engine::ParseCommandLine(line);
    FUZZ_EXPECT(record.cstrCmdType.size() + record.cstrCmdStr.size() + record.cstrParam.size() <= line.size());
    if (std::optional<engine::CommandWord> word = engine::LookupCommandWord(record.cstrCmdType)) {
      FUZZ_EXPECT(engine::TrimBlanks(record.cstrCmdType) == engine::CommandWordText(*word));
    }
    if (std::optional<engine::PageKind> page = engine::SelectPageKind(record.cstrCmdStr)) {
      FUZZ_EXPECT(record.cstrCmdStr.find(engine::PagePrefix(*page)) != std::string::npos);
    }
    engine::FinishSection(record, static_cast<unsigned long>(line.size()));

    if (std::optional<engine::ItemProgram> split = engine::SplitItemProgram(line)) {
      FUZZ_EXPECT(split->item.size() + split->program.size() < line.size());
    }
    engine::FileEntry entry = engine::SplitFileEntry(line);
    engine::TargetOf(entry.kind);
    if (std::optional<engine::CopyArguments> copy = engine::ParseCopyArguments(entry.arguments)) {
      FUZZ_EXPECT(!copy->destination.empty());
      FUZZ_EXPECT(copy->rest.size() < entry.arguments.size());
    }
    engine::IsZeroNumber(line);
    engine::RegistryValue value = engine::ParseRegistryValue(line);
    FUZZ_EXPECT(value.isDword == (value.type.find("REG_DWORD") != std::string::npos));
    engine::DiagnosisPortAccepted(line);

    core::RegistryEntry registry;
    core::EntryParse parsed = core::ParseRegistryEntry(line, &registry);
    if (parsed == core::EntryParse::kOk) {
      FUZZ_EXPECT(registry.hasData == !registry.data.empty());
    }
    FUZZ_EXPECT(!core::FullKeyName(registry.root, registry.key).empty());
  }
  return 0;
}
