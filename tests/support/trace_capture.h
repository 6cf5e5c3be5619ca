#pragma once
#include <string>

#include "tests/support/temp_dir.h"

namespace qx::test {

// Sends the debug trace of this process (and of the processes it starts, which
// inherit the environment) to a file of its own while the object lives.
class TraceCapture {
 public:
  TraceCapture();
  ~TraceCapture();
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  std::string Text() const;  // everything traced so far
  bool Contains(const std::string& text) const { return Text().find(text) != std::string::npos; }
  void Clear() const;
  const std::string& Path() const { return path_; }

 private:
  TempDir dir_;
  std::string path_;
  std::string previous_;
  bool hadPrevious_ = false;
};

}  // namespace qx::test
