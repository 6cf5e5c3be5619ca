#pragma once
// The whole Wine prefix as a run can change it: every key and value of the
// local machine and the current user, and every file and folder of drive C
// and of the folders a test names. Two snapshots are compared entry by entry.
#include <map>
#include <string>
#include <vector>

namespace e2e {

// Path ("HKLM\...", "HKCU\...", a file path) -> what it holds (value type and
// data, a file's size and write time; folders and keys hold nothing).
using PrefixSnapshot = std::map<std::string, std::string>;

// `folders` outside drive C (the build's medium, ...) are walked as well.
PrefixSnapshot SnapshotPrefix(const std::vector<std::string>& folders = {});

// "+ path = data" for what was added, "- path" for what went, "~ path: a -> b"
// for what changed; empty when equal.
std::vector<std::string> Difference(const PrefixSnapshot& before, const PrefixSnapshot& after);
std::string Lines(const std::vector<std::string>& lines);

}  // namespace e2e
