// 24-bit RGB pictures as PNG files, for screenshots and the stored images they are compared with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// `pixels` holds 0xRRGGBB values, rows top to bottom. False when the file cannot be written.
bool WritePngFile(const std::string& path, int width, int height,
                  const std::vector<std::uint32_t>& pixels);

// Any PNG, its alpha dropped, as 0xRRGGBB values. False, with the reason on standard error, when
// the file cannot be read.
bool ReadPngFile(const std::string& path, int* width, int* height,
                 std::vector<std::uint32_t>* pixels);
