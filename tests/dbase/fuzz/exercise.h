#pragma once
// Feeds arbitrary bytes to the table store as a table, a memo file and an
// index file, reading everything that can be read. Engine errors and dataset
// errors are the expected outcome for bad bytes; anything else (a crash, an
// out-of-bounds read) is a fault.
#include <cstddef>
#include <cstdint>
#include <string>

namespace gs::fuzz {

// dir: an existing folder ending in "/" for the scratch files.
void ExerciseBytes(const std::string& dir, const std::uint8_t* data, std::size_t size);

}  // namespace gs::fuzz
