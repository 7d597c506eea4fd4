#pragma once

// Names in a pack are bytes in the Windows ANSI code page 1252; Linux names are UTF-8. The five
// bytes that code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of
// the same value, as Windows maps them, so every byte string converts and converts back.

#include <cstdint>
#include <string>
#include <string_view>

// Always succeeds.
std::string Cp1252ToUtf8(std::string_view cp1252);

// False when `utf8` is not well-formed UTF-8 or holds a character code page 1252 cannot store;
// `out` is then unspecified.
bool Utf8ToCp1252(std::string_view utf8, std::string* out);

// The upper-case form of one byte, for comparing names as Windows does (without regard to case).
uint8_t Cp1252UpperCase(uint8_t byte);
