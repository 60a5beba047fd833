// Writes 24-bit RGB pictures as PNG files, for screenshots.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// `pixels` holds 0xRRGGBB values, rows top to bottom. False when the file cannot be written.
bool WritePngFile(const std::string& path, int width, int height,
                  const std::vector<std::uint32_t>& pixels);
