#pragma once
// The two 8-bit code pages of the program: Windows-1252 ("ANSI") for text in
// memory, the INI file and text files; code page 437 ("OEM") inside tables
// written with OEM conversion.
#include <cstddef>
#include <string>
#include <string_view>

namespace gs {

std::string AnsiToOem(std::string_view ansi);
std::string OemToAnsi(std::string_view oem);

// Buffer forms: convert n bytes from src to dst (src and dst may be the same).
void AnsiToOemBuff(const char* src, char* dst, std::size_t n);
void OemToAnsiBuff(const char* src, char* dst, std::size_t n);

// One Windows-1252 byte as a Unicode code point, and a code point as a
// Windows-1252 byte ('?' when the page has no such character).
char16_t AnsiCharToUnicode(unsigned char c);
unsigned char UnicodeToAnsiChar(char32_t u);

}  // namespace gs
