// libFuzzer entry: the text import's line reader and field splitter.
#include <cstdio>
#include <cstdlib>

#include "fuzz/exercise.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = gs::fuzz::ExerciseImportText(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "check failed: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
