#pragma once
// ReadProfileString: GetPrivateProfileStringA answered from script files that
// are read and parsed once (ProfileText) and kept in memory, process-wide.
//
// The system's reader walks a list of every line of the file for each value;
// on a data file of 35,000 lines that is most of the time an install spends
// reading its scripts. The answers are the system's own:
// - A file is used from memory while its last-write time and size are
//   unchanged. A file written less than 2.1 s ago (a time that a coarse file
//   system may not move on the next write) is also compared byte for byte
//   with what was read, until it is that old.
// - ForgetProfile drops a file: CProfile calls it after each write and on
//   Create and Reload.
// - Everything this reader does not emulate goes to the system's reader:
//   listings (null section or key), no path or a bare file name (the system
//   looks in the Windows folder), a file that cannot be opened or is a folder,
//   files over 32 MB or with a UTF-8 or UTF-16 mark, and code pages of more
//   than one byte per character.
// - QX_PROFILE_READER=system in the environment switches the cache off for
//   the process (for measurements); SetProfileCacheEnabled does it in code.
//
// Thread-safe: one lock around the cache; a lookup holds it for a few microseconds.

namespace scriptlib {

unsigned long ReadProfileString(const char* section, const char* key, const char* fallback, char* buffer,
                                unsigned long size, const char* path);

// Drops what the cache holds of the file (any spelling of its path).
void ForgetProfile(const char* path);

// Drops every file.
void ForgetAllProfiles();

void SetProfileCacheEnabled(bool enabled);
bool ProfileCacheEnabled();

// While a scope lives on a thread, each script file that thread reads is
// checked against the disk once, at its first lookup: the values of one page
// description then come from one version of each file, without a query of
// the file system for every value (most of a page change's time under Wine).
// A write through CProfile, ForgetProfile or ForgetAllProfiles on any thread
// ends the pinning, so the next lookup checks the file again. Scopes nest.
class ProfileReadScope {
 public:
  ProfileReadScope();
  ~ProfileReadScope();
  ProfileReadScope(const ProfileReadScope&) = delete;
  ProfileReadScope& operator=(const ProfileReadScope&) = delete;
};

struct ProfileCacheCounters {
  unsigned long loads = 0;      // files read and parsed
  unsigned long hits = 0;       // lookups answered from memory
  unsigned long rechecks = 0;   // recently written files compared byte for byte
  unsigned long delegated = 0;  // lookups handed to the system's reader
};
ProfileCacheCounters GetProfileCacheCounters();

}  // namespace scriptlib
