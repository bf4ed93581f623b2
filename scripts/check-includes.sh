#!/usr/bin/env bash
# Include arrows point down. The folders of src/ are layers, listed lowest
# first by the add_subdirectory lines of src/CMakeLists.txt; a file in one
# folder includes headers of its own folder and of folders listed before it,
# never of a folder listed after it. Fails, naming each offending line, when
# one does, or when a folder of src/ is missing from that list.
#   --graph   prints the folder-to-folder arrows the sources draw, lowest first
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t layers < <(sed -n 's/^add_subdirectory(\([a-z_0-9]*\))$/\1/p' src/CMakeLists.txt)
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done

status=0
for dir in src/*/; do
  folder=$(basename "$dir")
  if [ -z "${rank[$folder]+x}" ]; then
    echo "src/$folder/ is not listed in src/CMakeLists.txt, so it has no layer" >&2
    status=1
  fi
done

declare -A arrows
for folder in "${layers[@]}"; do
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    text=${rest#*:}
    to=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([a-z_0-9]+)\/.*/\1/' <<<"$text")
    [ -n "${rank[$to]+x}" ] || continue  # not a folder of src/
    [ "$to" = "$folder" ] && continue
    arrows[$folder]+=" $to"
    if ((rank[$to] > rank[$folder])); then
      echo "$file:$line: $folder/ includes $to/, a higher layer" >&2
      status=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_0-9]+/' "src/$folder" || true)
done

if [ "${1:-}" = "--graph" ]; then
  for folder in "${layers[@]}"; do
    to=$(tr ' ' '\n' <<<"${arrows[$folder]:-}" | sed '/^$/d' | sort -u | tr '\n' ' ')
    echo "$folder/ -> ${to:-(nothing)}"
  done
fi

if [ $status -eq 0 ]; then
  echo "include arrows: ${#layers[@]} folders, every arrow points to a lower layer"
fi
exit $status
