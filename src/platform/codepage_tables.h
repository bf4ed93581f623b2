#pragma once

namespace gs::cp {

// Windows-1252 byte -> Unicode code point (the five holes map to C1 controls).
extern const char16_t kAnsiToUnicode[256];
// Windows-1252 byte -> code page 437 byte, and back.
extern const unsigned char kAnsiToOem[256];
extern const unsigned char kOemToAnsi[256];

}  // namespace gs::cp
