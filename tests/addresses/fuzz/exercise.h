#pragma once
// Runs fuzzed bytes through the line reader and the field splitter and checks
// what must hold for any input. Shared by the libFuzzer target and the replay
// of the saved corpus in the normal test suite.
#include <cstddef>
#include <cstdint>
#include <string>

namespace gs::fuzz {

// Empty when every check held, else what went wrong.
std::string ExerciseImportText(const std::uint8_t* data, std::size_t size);

}  // namespace gs::fuzz
