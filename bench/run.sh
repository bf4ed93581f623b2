#!/usr/bin/env bash
# Builds every benchmark program of bench/ in a Release tree and runs each
# of them three times, then prints the median of every benchmark (with the
# fastest and slowest run, and the median CPU time of the process, which a
# busy machine distorts less) beside the machine's core count and load
# average: the figures bench/README.md records. A benchmark that measures
# its floor in the same run (the bare system calls, or the library a user
# would pick) reports it as the counters floor_<unit> and x_floor; the
# table shows the median floor and the median ratio of time to floor, the
# figure that compares between machines.
#
#   bench/run.sh                      all benchmark programs
#   bench/run.sh dbase_bench          only the programs named
#   bench/run.sh -- --benchmark_filter=ReadInKeyOrder
#                                     options after -- go to every program
#
# GS_BENCH_RUNS sets the number of runs (default 3), GS_BENCH_BUILD_DIR the
# build tree (default build-release). The programs' own variables (such as
# GS_DBASE_BENCH_RECORDS) pass through. Each run's CSV output is kept in
# <build tree>/bench-results/.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${GS_BENCH_RUNS:-3}
build=${GS_BENCH_BUILD_DIR:-build-release}
wanted=()
options=()
while [ $# -gt 0 ]; do
  if [ "$1" = "--" ]; then
    shift
    options=("$@")
    break
  fi
  wanted+=("$1")
  shift
done

bash scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DGREENSLIP_BUILD_TESTS=OFF -DGREENSLIP_BUILD_BENCH=ON >/dev/null

# The benchmark programs, as bench/CMakeLists.txt lists them: name TAB path.
names=()
paths=()
while IFS=$'\t' read -r name path; do
  [ -n "$name" ] || continue
  if [ ${#wanted[@]} -gt 0 ] && [[ ! " ${wanted[*]} " == *" $name "* ]]; then continue; fi
  names+=("$name")
  paths+=("$path")
done <"$build/bench-programs.txt"
if [ ${#names[@]} -eq 0 ]; then
  echo "bench/run.sh: no benchmark program to run" >&2
  exit 1
fi
cmake --build "$build" -j "$(nproc)" --target "${names[@]}"

results="$build/bench-results"
rm -rf "$results"
mkdir -p "$results"

loadavg() { cut -d' ' -f1-3 /proc/loadavg; }
cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)
echo
echo "Date:      $(date +%Y-%m-%d)"
echo "Machine:   $(nproc) cores, ${cpu:-unknown processor}, $(awk '/^MemTotal:/ {printf "%.0f", $2 / 1048576}' /proc/meminfo) GiB memory"
echo "System:    $(. /etc/os-release && echo "$PRETTY_NAME"), $(c++ --version | head -1), Release build"
echo "Load:      $(loadavg) (1, 5, 15 minutes) before the runs"

for i in "${!names[@]}"; do
  for ((r = 1; r <= runs; r++)); do
    echo "  ${names[$i]}: run $r of $runs (load $(loadavg))" >&2
    if ! "${paths[$i]}" --benchmark_format=csv "${options[@]}" >"$results/${names[$i]}.$r.csv" \
      2>"$results/${names[$i]}.$r.log"; then
      echo "  ${names[$i]} failed in run $r: see $results/${names[$i]}.$r.log" >&2
    fi
  done
done

echo "Load:      $(loadavg) (1, 5, 15 minutes) after the runs"
echo
echo "| program | benchmark | median time | fastest .. slowest | median CPU time | median rate | floor (same run) | x floor |"
echo "|---|---|---|---|---|---|---|---|"
for name in "${names[@]}"; do
  # Rows of Google Benchmark's CSV: "name",iterations,real_time,cpu_time,
  # time_unit,bytes_per_second,items_per_second,label,error_occurred,...
  cat "$results/$name".*.csv | awk -F, -v program="$name" '
    /^name,/ {
      # Counter columns follow the fixed ones; the floor ones by name.
      for (i = 1; i <= NF; i++) {
        c = $i
        gsub(/"/, "", c)
        if (c == "x_floor") xcol = i
        else if (c ~ /^floor_/) { fcol = i; funit = substr(c, 7) }
      }
      next
    }
    /^"/ {
      n = $1
      gsub(/"/, "", n)
      if (!(n in count)) order[++names] = n
      if ($9 == "true") failed[n] = 1
      k = ++count[n]
      time[n, k] = $3 + 0
      cpu[n, k] = $4 + 0
      unit[n] = $5
      rate[n, k] = $7 + 0
      if (xcol && $xcol + 0 > 0) { ratio[n, k] = $xcol + 0; hasratio[n] = 1 }
      if (fcol && $fcol != "") { floorv[n, k] = $fcol + 0; floorunit[n] = funit }
      if ($8 != "") { l = $8; gsub(/"/, "", l); label[n] = l }
    }
    function median(a, n, c,    i, j, t, v) {
      for (i = 1; i <= c; i++) v[i] = a[n, i]
      for (i = 2; i <= c; i++)
        for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
      lo = v[1]; hi = v[c]
      return c % 2 ? v[(c + 1) / 2] : (v[c / 2] + v[c / 2 + 1]) / 2
    }
    function num(x) {
      if (x >= 100) return sprintf("%.0f", x)
      if (x >= 10) return sprintf("%.1f", x)
      return sprintf("%.3g", x)
    }
    function thousands(x,    s, out) {
      s = sprintf("%.0f", x)
      while (length(s) > 3) { out = "," substr(s, length(s) - 2) out; s = substr(s, 1, length(s) - 3) }
      return s out
    }
    END {
      for (i = 1; i <= names; i++) {
        n = order[i]
        if (n in failed) { printf "| %s | %s | failed | | | | | |\n", program, n; continue }
        m = median(time, n, count[n])
        spread = num(lo) " .. " num(hi) " " unit[n]
        c = median(cpu, n, count[n])
        r = median(rate, n, count[n])
        shown = n
        sub(/\/iterations:[0-9]+/, "", shown)
        sub(/\/(real|manual)_time$/, "", shown)
        fl = ""
        x = ""
        if (n in hasratio) {
          fl = num(median(floorv, n, count[n])) " " floorunit[n]
          x = sprintf("%.2f", median(ratio, n, count[n]))
        } else if (n in label) {
          fl = label[n]
        }
        printf "| %s | %s | %s %s | %s | %s %s | %s | %s | %s |\n", program, shown, num(m), unit[n], spread,
               num(c), unit[n], (r > 0 ? thousands(r) "/s" : ""), fl, x
      }
    }'
done
