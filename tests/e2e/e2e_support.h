#pragma once
// End-to-end runs of setup.exe: a private copy of the assembled sample medium
// under a product identity of the test's own, runs of the program with its
// own temporary folder (so its log is the test's), and snapshots of what a run
// leaves in the registry and on disk.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "tests/support/process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_identity.h"

namespace e2e {

// A file or folder of this build, by its path relative to the build folder.
std::string BuildPath(const std::string& relative);

// Replaces (or adds) KEY=value in a section of a script file, keeping every
// other line as it is; adds the section at the end when it is missing.
void SetScriptValue(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value);
// Replaces all lines of a section (the header stays; added when missing).
void SetScriptSection(const std::string& path, const std::string& section, const std::string& body);

class SetupMedium {
 public:
  SetupMedium();
  ~SetupMedium();

  const qx::test::TestIdentity& Identity() const { return identity_; }
  std::string Dir() const { return dir_.File("medium"); }
  std::string Exe() const { return Dir() + "\\setup.exe"; }
  std::string DataFile() const { return Dir() + "\\setup.dat"; }
  std::string ConfigFile() const { return Dir() + "\\setup.cfg"; }
  std::string DestDir() const { return dir_.File("dest"); }
  std::string TempDir() const { return dir_.File("temp"); }
  std::string LogPath() const { return TempDir() + "\\setup.exe.log"; }
  // The product's Add/Remove Programs entry (named after the test's identity).
  std::string AddRemoveKey() const;
  std::string TracePath() const { return dir_.File("trace.txt"); }

  // Runs setup.exe with the arguments; every message box is answered with
  // `answer`. Returns the exit code, or -1 when the run had to be killed.
  long Run(const std::string& arguments, const qx::test::Environment& extra = {}, int answer = IDOK,
           DWORD timeoutMs = 90000);
  // Starts a run without waiting for it.
  bool Start(qx::test::Process* process, const std::string& arguments, const qx::test::Environment& extra = {},
             const std::string& tempDir = "");
  qx::test::Environment RunEnvironment(const std::string& tempDir, int answer) const;

  // Uninstalls every installed item through the medium's uninstall library,
  // as the uninstall page and command do; returns the number of 2037 reports.
  int UninstallItems();

  std::string Log() const;
  std::string Trace() const;

 private:
  void NoteShortcuts();

  qx::test::TempDir dir_;
  qx::test::TestIdentity identity_;
  std::set<std::string> shortcuts_;  // made by this medium's runs: removed with it
};

// Every key and value under a key of HKLM ("key" and "key\value=data" lines).
std::set<std::string> RegistrySnapshot(const std::string& key);
// Every file and folder under a folder.
std::set<std::string> FileSnapshot(const std::string& folder);

// The deletions waiting in the Session Manager for the next start of the
// system (their source names, as "\\??\\C:\\...").
std::vector<std::string> PendingDeletes();

DWORD ReadDword(const std::string& key, const std::string& value, DWORD fallback = 0xDEADBEEF);
std::string ReadString(const std::string& key, const std::string& value, const std::string& fallback = "<none>");

}  // namespace e2e
