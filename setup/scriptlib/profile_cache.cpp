#include "setup/scriptlib/profile_cache.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/trace.h"
#include "setup/scriptlib/profile_text.h"

namespace scriptlib {
namespace {

constexpr size_t kMaxFiles = 16;
constexpr unsigned long long kMaxFileBytes = 32ull << 20;
constexpr size_t kMaxCacheBytes = 96u << 20;  // all files together, parsed
// A write time younger than this may stay the same on the next write (the
// FAT file systems count in 2 s); the system's own reader re-reads such files too.
constexpr long long kSettleTicks = 21000000;  // 2.1 s in 100 ns units

long long Ticks(const FILETIME& time) {
  return static_cast<long long>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

long long NowTicks() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return Ticks(now);
}

struct Entry {
  std::string key;  // full path, upper-cased
  long long written = 0;
  unsigned long long size = 0;
  bool settled = false;  // the write time was old enough, when last read, to move on any later write
  std::string raw;       // the bytes as read, kept while not settled
  std::shared_ptr<const ProfileText> text;  // null: a marked text, left to the system's reader
  unsigned long long lastUse = 0;
};

struct Cache {
  std::mutex lock;
  std::vector<Entry> entries;
  unsigned long long clock = 0;
  ProfileCacheCounters counters;
};

// Never destroyed: a worker thread may still read a script while the process ends.
Cache& TheCache() {
  static Cache* cache = new Cache;
  return *cache;
}

std::atomic<int> g_enabled{-1};  // -1: not yet read from the environment

// Bumped by every forget: pinned files of read scopes are checked again.
std::atomic<unsigned long> g_generation{0};

struct PinnedFiles {
  int depth = 0;
  unsigned long generation = 0;
  std::vector<std::pair<std::string, std::shared_ptr<const ProfileText>>> files;  // path as the caller gave it

  const ProfileText* Find(const char* path) {
    if (depth == 0) return nullptr;
    if (generation != g_generation.load()) {
      files.clear();
      return nullptr;
    }
    for (const auto& [pinned, text] : files) {
      if (pinned == path) return text.get();
    }
    return nullptr;
  }
  void Pin(const char* path, std::shared_ptr<const ProfileText> text, unsigned long seenGeneration) {
    if (depth == 0 || seenGeneration != g_generation.load()) return;
    if (generation != seenGeneration) files.clear();
    generation = seenGeneration;
    files.emplace_back(path, std::move(text));
  }
};
thread_local PinnedFiles t_pinned;

// Whether each byte of the ANSI code page is one character that converts to
// and from UTF-16 unchanged, with the blanks where ProfileText has them: then
// the system's reader, which works in UTF-16, sees what ProfileText sees.
bool CodePageFits() {
  static const bool fits = [] {
    CPINFO info{};
    if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize != 1) return false;
    for (int b = 1; b < 256; ++b) {
      char c = static_cast<char>(b);
      WCHAR w = 0;
      if (MultiByteToWideChar(CP_ACP, 0, &c, 1, &w, 1) != 1) return false;
      char back = 0;
      BOOL usedDefault = FALSE;
      if (WideCharToMultiByte(CP_ACP, 0, &w, 1, &back, 1, nullptr, &usedDefault) != 1 || usedDefault || back != c) {
        return false;
      }
      bool wideBlank = (w >= 0x09 && w <= 0x0D) || w == 0x1A || w == 0x20;
      if (wideBlank != ProfileText::IsBlank(c)) return false;
      if (b < 0x80 && w != static_cast<WCHAR>(b)) return false;
    }
    return true;
  }();
  return fits;
}

std::string UpperPath(const char* path) {
  std::string upper(path);
  if (!upper.empty()) CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
  return upper;
}

bool FullPath(const char* path, std::string* full) {
  char buffer[MAX_PATH];
  DWORD n = GetFullPathNameA(path, MAX_PATH, buffer, nullptr);
  if (n == 0 || n >= MAX_PATH) return false;
  full->assign(buffer, n);
  return true;
}

bool ReadAll(const std::string& path, unsigned long long size, std::string* bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  // One byte more than expected, to see a file that grew since it was measured.
  bytes->resize(static_cast<size_t>(size) + 1);
  size_t got = 0;
  bool ok = true;
  while (got < bytes->size()) {
    DWORD n = 0;
    if (!ReadFile(file, bytes->data() + got, static_cast<DWORD>(bytes->size() - got), &n, nullptr)) {
      ok = false;
      break;
    }
    if (n == 0) break;
    got += n;
  }
  CloseHandle(file);
  bytes->resize(got);
  return ok && got == size;
}

Entry* Lookup(Cache& cache, const std::string& key) {
  for (Entry& e : cache.entries) {
    if (e.key == key) return &e;
  }
  return nullptr;
}

void Erase(Cache& cache, const std::string& key) {
  for (size_t i = 0; i < cache.entries.size(); ++i) {
    if (cache.entries[i].key == key) {
      cache.entries.erase(cache.entries.begin() + static_cast<long>(i));
      return;
    }
  }
}

size_t Bytes(const Entry& e) { return e.raw.capacity() + (e.text ? e.text->MemoryBytes() : 0); }

// Drops the least recently used files, other than `keep`, while there are
// more than `files` or they take more than the byte limit together.
void MakeRoom(Cache& cache, size_t files, const std::string& keep) {
  for (;;) {
    size_t total = 0;
    size_t oldest = cache.entries.size();
    for (size_t i = 0; i < cache.entries.size(); ++i) {
      total += Bytes(cache.entries[i]);
      if (cache.entries[i].key == keep) continue;
      if (oldest == cache.entries.size() || cache.entries[i].lastUse < cache.entries[oldest].lastUse) oldest = i;
    }
    if (oldest == cache.entries.size() || (cache.entries.size() <= files && total <= kMaxCacheBytes)) return;
    cache.entries.erase(cache.entries.begin() + static_cast<long>(oldest));
  }
}

Entry& Slot(Cache& cache, const std::string& key) {
  if (Entry* e = Lookup(cache, key)) return *e;
  MakeRoom(cache, kMaxFiles - 1, key);
  cache.entries.emplace_back();
  cache.entries.back().key = key;
  return cache.entries.back();
}

// The parsed file, current as of this call; null when the system's reader must answer.
std::shared_ptr<const ProfileText> Current(const std::string& full, long long written, unsigned long long size) {
  Cache& cache = TheCache();
  std::string key = UpperPath(full.c_str());
  std::lock_guard<std::mutex> guard(cache.lock);
  Entry* entry = Lookup(cache, key);
  long long now = NowTicks();  // before reading: what is read is at least this new
  std::string bytes;
  if (entry && entry->written == written && entry->size == size) {
    entry->lastUse = ++cache.clock;
    if (entry->settled) return entry->text;
    ++cache.counters.rechecks;
    if (!ReadAll(full, size, &bytes)) {
      Erase(cache, key);
      return nullptr;
    }
    if (bytes == entry->raw) {
      if (now - written >= kSettleTicks) {
        entry->settled = true;
        std::string().swap(entry->raw);
      }
      return entry->text;
    }
  } else if (!ReadAll(full, size, &bytes)) {
    if (entry) Erase(cache, key);
    return nullptr;
  }
  Entry& slot = Slot(cache, key);
  ++cache.counters.loads;
  qx::Trace("[ProfileCache] read %s (%lu bytes)\n", full.c_str(), static_cast<unsigned long>(bytes.size()));
  slot.written = written;
  slot.size = size;
  slot.settled = now - written >= kSettleTicks;
  slot.lastUse = ++cache.clock;
  slot.text = ProfileText::IsPlainText(bytes) ? std::make_shared<const ProfileText>(bytes) : nullptr;
  slot.raw = slot.settled ? std::string() : std::move(bytes);
  std::shared_ptr<const ProfileText> text = slot.text;  // MakeRoom may move the entries
  MakeRoom(cache, kMaxFiles, key);
  return text;
}

void Count(unsigned long ProfileCacheCounters::*counter) {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> guard(cache.lock);
  ++(cache.counters.*counter);
}

}  // namespace

bool ProfileCacheEnabled() {
  int state = g_enabled.load();
  if (state < 0) {
    char value[16] = "";
    DWORD n = GetEnvironmentVariableA("QX_PROFILE_READER", value, sizeof(value));
    state = n > 0 && n < sizeof(value) && lstrcmpiA(value, "system") == 0 ? 0 : 1;
    int expected = -1;
    g_enabled.compare_exchange_strong(expected, state);
    state = g_enabled.load();
  }
  return state == 1;
}

void SetProfileCacheEnabled(bool enabled) {
  g_enabled.store(enabled ? 1 : 0);
  if (!enabled) ForgetAllProfiles();
}

unsigned long ReadProfileString(const char* section, const char* key, const char* fallback, char* buffer,
                                unsigned long size, const char* path) {
  auto system = [&] {
    Count(&ProfileCacheCounters::delegated);
    return static_cast<unsigned long>(GetPrivateProfileStringA(section, key, fallback, buffer, size, path));
  };
  if (!buffer || size == 0) return system();
  if (!ProfileCacheEnabled() || !section || !key || !path || !std::strpbrk(path, "\\/") || !CodePageFits()) {
    return system();
  }
  if (const ProfileText* pinned = t_pinned.Find(path)) {
    Count(&ProfileCacheCounters::hits);
    return pinned->GetString(section, key, fallback, buffer, size);
  }
  const unsigned long generation = g_generation.load();
  std::string full;
  if (!FullPath(path, &full)) return system();
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(full.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return system();
  }
  unsigned long long bytes = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  if (bytes > kMaxFileBytes) return system();
  std::shared_ptr<const ProfileText> text = Current(full, Ticks(data.ftLastWriteTime), bytes);
  if (!text) return system();
  Count(&ProfileCacheCounters::hits);
  t_pinned.Pin(path, text, generation);
  return text->GetString(section, key, fallback, buffer, size);
}

ProfileReadScope::ProfileReadScope() {
  if (t_pinned.depth++ == 0) t_pinned.files.clear();
}

ProfileReadScope::~ProfileReadScope() {
  if (--t_pinned.depth == 0) t_pinned.files.clear();
}

void ForgetProfile(const char* path) {
  if (!path || !*path) return;
  ++g_generation;
  std::string full;
  if (!FullPath(path, &full)) return;
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> guard(cache.lock);
  Erase(cache, UpperPath(full.c_str()));
}

void ForgetAllProfiles() {
  ++g_generation;
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> guard(cache.lock);
  cache.entries.clear();
}

ProfileCacheCounters GetProfileCacheCounters() {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> guard(cache.lock);
  return cache.counters;
}

}  // namespace scriptlib
