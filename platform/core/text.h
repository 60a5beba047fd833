// Strings of the system are 16-bit character sequences; these helpers convert at the edges.
#pragma once

#include <string>
#include <string_view>

using String = std::u16string;

// Decimal text: a leading minus for negative values, no leading zeros or blanks.
String IntToString(int value);

// Characters above 127 are written as UTF-8; unpaired surrogates pass through as-is.
std::string ToUtf8(std::u16string_view text);
String FromUtf8(std::string_view text);
