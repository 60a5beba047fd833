// Embedded resources are few and looked up once each, so a small list searched in order does.
#include "imagetext/font/embedded_resources.h"

#include <string>
#include <utility>
#include <vector>

namespace {
std::vector<std::pair<std::string, ResourceBytes>>& Table() {
  static std::vector<std::pair<std::string, ResourceBytes>> table;
  return table;
}
}  // namespace

void RegisterEmbeddedResource(std::string_view name, ResourceBytes bytes) {
  for (auto& [entry_name, entry_bytes] : Table()) {
    if (entry_name == name) {
      entry_bytes = bytes;
      return;
    }
  }
  Table().emplace_back(std::string(name), bytes);
}

ResourceBytes FindEmbeddedResource(std::string_view name) {
  for (const auto& [entry_name, entry_bytes] : Table())
    if (entry_name == name) return entry_bytes;
  return {};
}
