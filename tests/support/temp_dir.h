#pragma once
#include <string>

namespace qx::test {

// A fresh, uniquely named folder under the temporary directory, removed with
// everything in it when the object goes. Path() ends without a backslash.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // Path of a name inside the folder.
  std::string File(const std::string& name) const { return path_ + "\\" + name; }
  // Writes bytes to a file in the folder (sub-folders are created); returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  static std::string Read(const std::string& path);

 private:
  std::string path_;
};

// Removes a folder tree; true when it is gone.
bool RemoveTree(const std::string& path);
// Copies a folder tree (files are overwritten); false when a file could not be copied.
bool CopyTree(const std::string& from, const std::string& to);
bool FileExists(const std::string& path);

}  // namespace qx::test
