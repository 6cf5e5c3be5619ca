#include "tools/sampleitem/item_rules.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace sampleitem {
namespace {

constexpr const char* kManifestHeader = "QXITEM-MANIFEST 1";

// The parts between separators as getline gives them (no empty part after a
// final separator); string streams would add a megabyte to the program.
std::vector<std::string> SplitAt(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t from = 0;
  while (from < text.size()) {
    size_t end = text.find(separator, from);
    if (end == std::string::npos) end = text.size();
    parts.push_back(text.substr(from, end - from));
    from = end + 1;
  }
  return parts;
}
constexpr size_t kMaxPath = 260;
// Room left below a destination for the payload's own names.
constexpr size_t kMaxFolderPath = kMaxPath - 60;

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::string StripTrailingSeparators(std::string path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

bool Contains(const std::vector<std::string>& list, const std::string& item) {
  for (const std::string& s : list) {
    if (Lower(s) == Lower(item)) return true;
  }
  return false;
}

// True when `path` is `ancestor` or lies below it (compared without case).
bool IsAncestorOrSelf(const std::string& ancestor, const std::string& path) {
  std::string a = Lower(ancestor), b = Lower(path);
  if (a.size() > b.size()) return false;
  if (b.compare(0, a.size(), a) != 0) return false;
  return a.size() == b.size() || b[a.size()] == '\\';
}

}  // namespace

bool IsValidComponentName(const std::string& name) {
  if (name.empty() || name.size() > 32) return false;
  bool onlyDots = true;
  for (unsigned char c : name) {
    if (!(std::isalnum(c) || c == '_' || c == '-' || c == '.')) return false;
    if (c != '.') onlyDots = false;
  }
  return !onlyDots;
}

bool IsUsableFolderPath(const std::string& path) {
  if (path.empty() || path.size() >= kMaxFolderPath) return false;
  if (path.find_first_of("*?\"<>|") != std::string::npos) return false;
  bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
               path[2] == '\\';
  bool unc = path.size() > 2 && path[0] == '\\' && path[1] == '\\';
  if (!drive && !unc) return false;
  // No relative elements: the manifest and the registry hold the path as given.
  std::string rest = path.substr(2);
  for (const std::string& part : SplitAt(rest, '\\')) {
    if (part == "." || part == "..") return false;
  }
  return true;
}

bool IsSafeRelativePath(const std::string& path) {
  if (path.empty() || path.size() >= kMaxPath) return false;
  if (path.find(':') != std::string::npos || path.find('/') != std::string::npos) return false;
  if (path.front() == '\\' || path.back() == '\\') return false;
  if (path.find_first_of("*?\"<>|") != std::string::npos) return false;
  for (const std::string& part : SplitAt(path, '\\')) {
    if (part.empty() || part == "." || part == "..") return false;
  }
  return true;
}

ParseResult ParseArguments(const std::vector<std::string>& args) {
  ParseResult r;
  size_t i = 0;
  if (i < args.size() && Lower(args[i]) == "--key") {
    if (i + 1 >= args.size() || args[i + 1].empty()) {
      r.error = "--key needs a registry path";
      return r;
    }
    r.request.registryKey = args[i + 1];
    while (!r.request.registryKey.empty() && r.request.registryKey.back() == '\\') r.request.registryKey.pop_back();
    i += 2;
  }
  if (i >= args.size()) {
    r.error = "no command given";
    return r;
  }
  std::string verb = Lower(args[i++]);
  std::vector<std::string> rest(args.begin() + static_cast<long>(i), args.end());
  Request& q = r.request;
  if (verb == "help" || verb == "/?" || verb == "-h" || verb == "--help") {
    q.verb = Verb::kHelp;
    r.ok = true;
    return r;
  }
  if (verb == "uninstall" && rest.size() == 1) {
    // The destination comes from the component's registry record.
    q.verb = Verb::kUninstall;
    q.component = rest[0];
  } else if (verb == "install" || verb == "uninstall") {
    q.verb = verb == "install" ? Verb::kInstall : Verb::kUninstall;
    size_t most = q.verb == Verb::kInstall ? 3 : 2;
    if (rest.size() < 2 || rest.size() > most) {
      r.error = verb + (most == 3 ? " needs <dest-dir> <component> [<source>]" : " needs [<dest-dir>] <component>");
      return r;
    }
    q.dest = StripTrailingSeparators(rest[0]);
    q.component = rest[1];
    if (rest.size() == 3) q.source = StripTrailingSeparators(rest[2]);
    if (!IsUsableFolderPath(q.dest)) {
      r.error = "unusable destination folder: " + rest[0];
      return r;
    }
    if (!q.source.empty() && !IsUsableFolderPath(q.source)) {
      r.error = "unusable source: " + rest[2];
      return r;
    }
  } else if (verb == "status") {
    q.verb = Verb::kStatus;
    if (rest.size() != 1) {
      r.error = "status needs <component>";
      return r;
    }
    q.component = rest[0];
  } else {
    r.error = "unknown command: " + args[i - 1];
    return r;
  }
  if (!IsValidComponentName(q.component)) {
    r.error = "invalid component name: " + q.component;
    return r;
  }
  if (q.registryKey.empty() || q.registryKey.size() >= kMaxFolderPath || q.registryKey.front() == '\\') {
    r.error = "invalid registry key: " + q.registryKey;
    return r;
  }
  r.ok = true;
  return r;
}

std::string ManifestName(const std::string& component) { return component + ".qxitem"; }

std::string FormatManifest(const Manifest& m) {
  std::string text = std::string(kManifestHeader) + "\r\n";
  for (const std::string& p : m.parentFolders) text += "P " + p + "\r\n";
  for (const std::string& d : m.folders) text += "D " + (d.empty() ? std::string(".") : d) + "\r\n";
  for (const std::string& f : m.files) text += "F " + f + "\r\n";
  return text;
}

bool ParseManifest(const std::string& text, const std::string& dest, Manifest* m, int* dropped) {
  *m = Manifest();
  int bad = 0;
  bool header = false;
  for (std::string line : SplitAt(text, '\n')) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!header) {
      if (line != kManifestHeader) return false;
      header = true;
      continue;
    }
    if (line.empty()) continue;
    if (line.size() < 3 || line[1] != ' ') {
      ++bad;
      continue;
    }
    std::string path = line.substr(2);
    switch (line[0]) {
      case 'F':
        if (IsSafeRelativePath(path)) m->files.push_back(path); else ++bad;
        break;
      case 'D':
        if (path == ".") m->folders.push_back("");
        else if (IsSafeRelativePath(path)) m->folders.push_back(path);
        else ++bad;
        break;
      case 'P':
        // Only folders on the way to the destination, never the destination's siblings.
        if (IsUsableFolderPath(path) && IsAncestorOrSelf(path, dest) && Lower(path) != Lower(dest)) m->parentFolders.push_back(path);
        else ++bad;
        break;
      default:
        ++bad;
    }
  }
  if (dropped) *dropped = bad;
  return header;
}

void MergeManifest(Manifest* into, const Manifest& more) {
  for (const std::string& p : more.parentFolders)
    if (!Contains(into->parentFolders, p)) into->parentFolders.push_back(p);
  for (const std::string& d : more.folders)
    if (!Contains(into->folders, d)) into->folders.push_back(d);
  for (const std::string& f : more.files)
    if (!Contains(into->files, f)) into->files.push_back(f);
}

std::string MediumRoot(const std::string& programPath) {
  size_t slash = programPath.find_last_of('\\');
  if (slash == std::string::npos) return ".";
  std::string dir = programPath.substr(0, slash);
  size_t up = dir.find_last_of('\\');
  if (up != std::string::npos && Lower(dir.substr(up + 1)) == "data") return dir.substr(0, up);
  return dir;
}

std::string DefaultSource(const std::string& mediumRoot, const std::string& component) {
  return mediumRoot + "\\Payload\\" + component;
}

}  // namespace sampleitem
