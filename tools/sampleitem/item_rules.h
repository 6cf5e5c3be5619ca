#pragma once
// Decisions of the sample item program, apart from any system call: the
// command line, the names it accepts and the manifest it keeps of what it
// installed. Tested directly.
#include <string>
#include <vector>

namespace sampleitem {

// Exit codes. The item sections of the sample medium expect kOk as their
// success return; everything else makes the installation library report the
// item as failed.
enum ExitCode : int {
  kOk = 0,
  kUsage = 2,           // bad or missing arguments
  kNoSource = 3,        // the payload on the medium is missing
  kCopyFailed = 4,      // a file or folder could not be created (nothing is left behind)
  kRegistryFailed = 5,  // the component's registry record could not be written
  kNotInstalled = 6,    // status: the component is not installed
  kRemoveIncomplete = 7 // uninstall: something recorded could not be removed
};

enum class Verb { kInstall, kUninstall, kStatus, kHelp };

struct Request {
  Verb verb = Verb::kHelp;
  std::string dest;       // destination folder (install; uninstall: empty = the recorded one)
  std::string component;  // component name: registry key and manifest name
  std::string source;     // install: payload folder or file; empty = default on the medium
  std::string registryKey = "Software\\QX\\Components";  // below HKEY_LOCAL_MACHINE
};

struct ParseResult {
  bool ok = false;
  Request request;
  std::string error;  // why the command line was refused
};

// Arguments after the program name:
//   [--key <path>] install <dest-dir> <component> [<source>]
//   [--key <path>] uninstall [<dest-dir>] <component>   (no folder: the one recorded at install)
//   [--key <path>] status <component>
//   help
ParseResult ParseArguments(const std::vector<std::string>& args);

// A component name becomes a registry key name and a file name: letters,
// digits, '_', '-' and '.', 1 to 32 characters, not only dots.
bool IsValidComponentName(const std::string& name);
// An absolute local or UNC folder path short enough to hold files below it.
bool IsUsableFolderPath(const std::string& path);
// A relative path from a manifest that stays below its base: no drive, no
// leading backslash, no "." or ".." element.
bool IsSafeRelativePath(const std::string& path);

// What one installation created, relative to the destination folder, plus
// the folders above the destination it had to create (absolute).
struct Manifest {
  std::vector<std::string> files;        // relative, in creation order
  std::vector<std::string> folders;      // relative, in creation order ("" is the destination itself)
  std::vector<std::string> parentFolders;  // absolute, outermost first
};

// Manifest file name in the destination folder.
std::string ManifestName(const std::string& component);
// Text form: a header line, then one "F <path>", "D <path>" or "P <path>" per entry.
std::string FormatManifest(const Manifest& manifest);
// False for a text without the header; unsafe or unknown lines are dropped
// (and counted in *dropped when given), so a damaged manifest can never make
// uninstall touch anything outside the destination.
bool ParseManifest(const std::string& text, const std::string& dest, Manifest* manifest, int* dropped = nullptr);
// Adds the entries of `more` that `into` lacks (a second installation over the first).
void MergeManifest(Manifest* into, const Manifest& more);

// Folder holding the program's payload: the program's folder, or its parent
// when the program sits in the medium's "data" folder.
std::string MediumRoot(const std::string& programPath);
// Default payload of a component on the medium: "<root>\Payload\<component>".
std::string DefaultSource(const std::string& mediumRoot, const std::string& component);

}  // namespace sampleitem
