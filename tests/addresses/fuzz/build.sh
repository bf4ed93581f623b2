#!/usr/bin/env bash
# Builds the text import's libFuzzer target with clang outside the CMake build
# (CI does not need clang) and, with "run [seconds]", runs it on the corpus.
#   bash tests/addresses/fuzz/build.sh            -> build-addresses-fuzz/importtext_fuzz
#   bash tests/addresses/fuzz/build.sh run 300    -> build and fuzz for 300 s
# Crashing inputs go to tests/addresses/corpus/, which the normal test suite
# replays.
set -euo pipefail
cd "$(dirname "$0")/../../.."
command -v clang++ >/dev/null || { echo "clang++ missing: apt-get install clang libclang-rt-14-dev"; exit 1; }
out=build-addresses-fuzz
mkdir -p "$out"
srcs=(src/addresses/importtextreader.cpp src/addresses/splitimportline.cpp
      src/platform/codepage.cpp src/platform/codepage_tables.cpp
      tests/addresses/fuzz/exercise.cpp tests/addresses/fuzz/fuzz_target.cpp)
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -Isrc -Itests/addresses \
  "${srcs[@]}" -o "$out/importtext_fuzz"
echo "built $out/importtext_fuzz"
if [ "${1:-}" = "run" ]; then
  secs=${2:-180}
  mkdir -p "$out/corpus"
  cp -n tests/addresses/corpus/* "$out/corpus/" 2>/dev/null || true
  "$out/importtext_fuzz" -max_total_time="$secs" -max_len=4096 -timeout=10 \
    -artifact_prefix=tests/addresses/corpus/crash- "$out/corpus"
fi
