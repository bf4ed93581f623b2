// libFuzzer entry: tables, memo files and index files from fuzzed bytes.
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "fuzz/exercise.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string dir = [] {
        char tmpl[] = "/tmp/gsfuzz.XXXXXX";
        return std::string(mkdtemp(tmpl)) + "/";
    }();
    gs::fuzz::ExerciseBytes(dir, data, size);
    return 0;
}
