#!/usr/bin/env bash
# Builds Greenslip and starts it as an installed copy would run: the help,
# report layouts and registration form are read from the source tree's
# data/, and the settings, mail log, address tables and printed PDFs go to
# the user's folders (~/.config/gslip3.ini and ~/.local/share/greenslip/,
# or under $XDG_CONFIG_HOME and $XDG_DATA_HOME), never into build/. So
# deleting the build tree deletes no mail log.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target greenslip
GREENSLIP_DATA_DIR="$PWD/data" exec build/bin/greenslip "$@"
