#!/bin/sh
# Runs a test program on a real X display: the xcb platform on a private
# Xvfb server, with the fonts the system has (not the offscreen platform's
# font folder). Texts that fit offscreen may need more room there.
# A display that cannot start fails the test; it never waits for one.
#
#   run_on_xvfb.sh [--fallback-fonts] PROGRAM [ARGUMENT...]
#
# --fallback-fonts: only the DejaVu fonts, as on a desktop without the
# form's Liberation Sans: the windows then show in the wider fallback font.
set -eu
fonts=""
if [ "${1:-}" = "--fallback-fonts" ]; then
    shift
    fonts=$(mktemp -d)
    trap 'rm -rf "$fonts"' EXIT
    cat > "$fonts/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts/truetype/dejavu</dir>
  <cachedir>$fonts/cache</cachedir>
  <include ignore_missing="yes">/etc/fonts/conf.d</include>
</fontconfig>
CONF
    FONTCONFIG_FILE="$fonts/fonts.conf"
    export FONTCONFIG_FILE
fi
for tool in xvfb-run Xvfb xauth; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is not installed (scripts/install-deps.sh --tests installs it)" >&2
        exit 1
    fi
done
status=0
timeout -k 10 500 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    env -u QT_QPA_FONTDIR QT_QPA_PLATFORM=xcb "$@" || status=$?
exit "$status"
