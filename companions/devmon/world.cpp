#include "companions/devmon/world.h"

#include <cstdlib>

namespace devmon {
namespace {

std::string_view Trim(std::string_view s) {
  auto white = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
  while (!s.empty() && white(s.front())) s.remove_prefix(1);
  while (!s.empty() && white(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

// Decimal, or hexadecimal with 0x; anything malformed or out of range gives 0.
uint16_t ParseId(const std::string* text) {
  if (!text || text->empty()) return 0;
  char* end = nullptr;
  unsigned long v = std::strtoul(text->c_str(), &end, 0);
  return (end && *end == '\0' && v <= 0xFFFF) ? static_cast<uint16_t>(v) : 0;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

const std::string* IniSection::Find(std::string_view key) const {
  for (const auto& [k, v] : values)
    if (SameName(k, key)) return &v;
  return nullptr;
}

std::vector<IniSection> ParseIni(std::string_view bytes) {
  std::vector<IniSection> sections;
  size_t pos = 0;
  while (pos <= bytes.size()) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = Trim(bytes.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line.front() == ';' || line.front() == '#' || line.substr(0, 2) == "//") continue;
    for (size_t i = 1; i < line.size(); ++i) {
      if (line[i] == ';' && (line[i - 1] == ' ' || line[i - 1] == '\t')) {
        line = Trim(line.substr(0, i));
        break;
      }
    }
    if (line.front() == '[') {
      size_t close = line.find(']');
      if (close != std::string_view::npos) sections.push_back({std::string(Trim(line.substr(1, close - 1))), {}});
      continue;
    }
    size_t equals = line.find('=');
    if (equals == std::string_view::npos || sections.empty()) continue;
    sections.back().values.emplace_back(std::string(Trim(line.substr(0, equals))),
                                        std::string(Trim(line.substr(equals + 1))));
  }
  return sections;
}

bool ParseStatusBytes(std::string_view text, unsigned char out[8]) {
  unsigned char bytes[8] = {};
  int count = 0;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ' || text[i] == '\t') {
      ++i;
      continue;
    }
    int hi = HexDigit(text[i]);
    int lo = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
    bool endsHere = i + 2 >= text.size() || text[i + 2] == ' ' || text[i + 2] == '\t';
    if (hi < 0 || lo < 0 || !endsHere || count == 8) return false;
    bytes[count++] = static_cast<unsigned char>(hi * 16 + lo);
    i += 2;
  }
  if (count != 8) return false;
  for (int k = 0; k < 8; ++k) out[k] = bytes[k];
  return true;
}

bool World::Fails(std::string_view entryPoint) const {
  for (const std::string& f : failing)
    if (SameName(f, entryPoint)) return true;
  return false;
}

int World::JobCount(std::string_view printer) const {
  for (const SimQueue& q : queues)
    if (SameName(q.printer, printer)) return q.jobs;
  return -1;
}

World ParseWorld(std::string_view bytes) {
  World world;
  static constexpr std::string_view kPrefix = "PRINTER.";
  static constexpr std::string_view kQueue = "QUEUE.";
  for (const IniSection& section : ParseIni(bytes)) {
    if (section.name.size() > kQueue.size() && SameName(std::string_view(section.name).substr(0, kQueue.size()), kQueue)) {
      const std::string* jobs = section.Find("Jobs");
      int count = jobs ? std::atoi(jobs->c_str()) : 0;
      world.queues.push_back({section.name.substr(kQueue.size()), count < 0 ? 0 : count});
      continue;
    }
    if (SameName(section.name, "DEVMON")) {
      if (const std::string* fail = section.Find("Fail")) {
        std::string_view rest = *fail;
        while (!rest.empty()) {
          size_t comma = rest.find_first_of(", ");
          std::string_view item = Trim(rest.substr(0, comma));
          if (!item.empty()) world.failing.emplace_back(item);
          rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        }
      }
      continue;
    }
    if (section.name.size() <= kPrefix.size() || !SameName(std::string_view(section.name).substr(0, kPrefix.size()), kPrefix))
      continue;
    SimPrinter p;
    p.name = section.name.substr(kPrefix.size());
    if (const std::string* v = section.Find("MDL")) p.model = *v;
    p.vendorId = ParseId(section.Find("VID"));
    p.productId = ParseId(section.Find("PID"));
    if (const std::string* v = section.Find("Attached")) p.attached = *v != "0";
    if (const std::string* v = section.Find("Status")) p.statusValid = ParseStatusBytes(*v, p.status);
    if (const std::string* v = section.Find("ServiceTag")) p.serviceTag = *v;
    world.printers.push_back(std::move(p));
  }
  return world;
}

const SimPrinter* SelectPrinter(const World& world, std::string_view model, uint16_t vendorId, uint16_t productId) {
  for (const SimPrinter& p : world.printers) {
    if (!p.attached) continue;
    bool byModel = !model.empty() && p.model.find(model) != std::string::npos;
    bool byIds = model.empty() && vendorId != 0 && p.vendorId == vendorId && p.productId == productId;
    if (byModel || byIds) return &p;
  }
  return nullptr;
}

}  // namespace devmon
