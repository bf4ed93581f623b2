#!/usr/bin/env bash
# Builds the table store's libFuzzer target with clang outside the CMake build
# (CI does not need clang) and, with "run [seconds]", runs it on the corpus.
#   bash tests/dbase/fuzz/build.sh            -> build-dbase-fuzz/dbase_fuzz
#   bash tests/dbase/fuzz/build.sh run 300    -> build and fuzz for 300 s
# Crashing inputs go to tests/dbase/corpus/, which the normal test suite
# replays.
set -euo pipefail
cd "$(dirname "$0")/../../.."
command -v clang++ >/dev/null || { echo "clang++ missing: apt-get install clang libclang-rt-14-dev"; exit 1; }
out=build-dbase-fuzz
mkdir -p "$out"
srcs=(src/dbase/*.cpp src/platform/codepage.cpp src/platform/codepage_tables.cpp
      src/platform/oserror.cpp src/platform/filelock.cpp
      tests/dbase/fuzz/exercise.cpp tests/dbase/fuzz/fuzz_target.cpp)
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -Isrc -Itests/dbase \
  "${srcs[@]}" -o "$out/dbase_fuzz"
echo "built $out/dbase_fuzz"
if [ "${1:-}" = "run" ]; then
  secs=${2:-180}
  mkdir -p "$out/corpus"
  cp -n tests/dbase/corpus/* "$out/corpus/" 2>/dev/null || true
  "$out/dbase_fuzz" -max_total_time="$secs" -max_len=8192 -timeout=10 \
    -artifact_prefix=tests/dbase/corpus/crash- "$out/corpus"
fi
