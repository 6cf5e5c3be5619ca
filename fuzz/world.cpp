// The world file the companion libraries read (devices, printers, computers):
// sections, keys, numbers, kinds.
#include "companions/world/text.h"
#include "companions/world/world.h"
#include "fuzz/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using qx::world::World;
  World world = World::Parse(std::string(fuzz::AsText(data, size)));
  FUZZ_EXPECT(world.MalformedLines() >= 0);
  for (const qx::world::Section& section : world.Sections()) {
    FUZZ_EXPECT(!section.name.empty());
    FUZZ_EXPECT(section.name == qx::world::Trim(section.name));
    const qx::world::Section* found = world.Find(section.name);
    FUZZ_EXPECT(found != nullptr && qx::world::EqualsNoCase(found->name, section.name));
    bool listed = false;
    for (const qx::world::Section* same : world.OfKind(section.Kind())) listed = listed || same == &section;
    FUZZ_EXPECT(listed);
    for (const qx::world::Entry& entry : section.entries) {
      FUZZ_EXPECT(!entry.key.empty());
      FUZZ_EXPECT(entry.key == qx::world::Trim(entry.key) && entry.value == qx::world::Trim(entry.value));
      section.GetNumber(entry.key, -1);
      qx::world::SplitList(entry.value);
      qx::world::MaskCommandLine(entry.value);
    }
  }
  return 0;
}
