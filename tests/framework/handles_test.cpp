#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "framework/handles.h"
#include "tests/support/test_identity.h"

namespace {

bool KeyUsable(HKEY key) {
  DWORD subkeys = 0;
  return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr) == ERROR_SUCCESS;
}

bool HandleOpen(HANDLE h) {
  DWORD flags = 0;
  return GetHandleInformation(h, &flags) != FALSE;
}

TEST(Handles, RegistryKeyClosedAtScopeEnd) {
  qx::test::TestIdentity identity;
  HKEY raw = nullptr;
  {
    fw::UniqueRegKey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, identity.Root().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              key.Put(), nullptr),
              ERROR_SUCCESS);
    raw = key.Get();
    EXPECT_TRUE(KeyUsable(raw));
  }
  EXPECT_FALSE(KeyUsable(raw));
}

TEST(Handles, EventMovesAndClosesOnce) {
  fw::UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  ASSERT_TRUE(event);
  HANDLE raw = event.Get();
  fw::UniqueHandle moved(std::move(event));
  EXPECT_FALSE(event);
  EXPECT_EQ(moved.Get(), raw);
  EXPECT_TRUE(HandleOpen(raw));
  fw::UniqueHandle other(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  HANDLE otherRaw = other.Get();
  other = std::move(moved);  // the other event is closed, this one moves over
  EXPECT_FALSE(HandleOpen(otherRaw));
  EXPECT_TRUE(HandleOpen(raw));
  other.Reset();
  EXPECT_FALSE(HandleOpen(raw));
}

bool Mapped(const void* address) {
  MEMORY_BASIC_INFORMATION info{};
  return VirtualQuery(address, &info, sizeof(info)) == sizeof(info) && info.State != MEM_FREE;
}

TEST(Handles, ModuleFreedAtScopeEnd) {
  // The showcase program beside this one, loaded as a data file: mapped for
  // this handle alone, as this process loads it nowhere else.
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof(path));
  ASSERT_GT(n, 0u);
  std::string file(path, n);
  file = file.substr(0, file.find_last_of('\\') + 1) + "framework_showcase.exe";
  const void* image = nullptr;
  {
    fw::UniqueModule module(LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module);
    image = reinterpret_cast<const void*>(reinterpret_cast<UINT_PTR>(module.Get()) & ~UINT_PTR{3});
    EXPECT_TRUE(Mapped(image));
  }
  EXPECT_FALSE(Mapped(image));
}

TEST(Handles, GdiObjectDeletedAndSelectionRestored) {
  HGDIOBJ raw = nullptr;
  fw::MemoryDC dc(nullptr);
  ASSERT_NE(dc.Get(), nullptr);
  HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_BRUSH);
  {
    fw::UniqueGdiObject brush(CreateSolidBrush(RGB(1, 2, 3)));
    raw = brush.Get();
    EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_BRUSH));
    {
      fw::SelectedObject selected(dc.Get(), brush.Get());
      EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), raw);
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), original);
  }
  EXPECT_EQ(GetObjectType(raw), 0u);
}

}  // namespace
