// The runtime's table of embedded resources: data built into the executable, found by name.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

using ResourceBytes = std::span<const std::uint8_t>;

// Registers (or replaces) the bytes under a name; the bytes must outlive the program's use of them.
void RegisterEmbeddedResource(std::string_view name, ResourceBytes bytes);

// The bytes registered under the name, or an empty span when there are none.
ResourceBytes FindEmbeddedResource(std::string_view name);
