#!/usr/bin/env bash
# Builds the Debian package from a built tree (default build/) and checks it:
# its control fields and file list, lintian (no error, no warning), the
# manual pages, the AppStream metadata and the changelog, then the program
# unpacked into a staging root that it may not write into, started with a
# fresh HOME and no display. Both executables answer --help and --version,
# the batch command prints a mailer to PDF and logs it under
# ~/.local/share/greenslip/, and the window starts (offscreen) and makes its
# folders there. The package that passed is left in the tree
# (<tree>/greenslip_<version>_amd64.deb).
set -euo pipefail
cd "$(dirname "$0")/.."
tree=${1:-build}
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

(cd "$tree" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack failed"; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$tree/CMakeCache.txt")
deb="$work/out/greenslip_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $deb (made: $(ls "$work/out"))"

# Control fields.
[ "$(dpkg-deb -f "$deb" Package)" = greenslip ] || fail "wrong package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "wrong version"
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || fail "wrong architecture"
# Depends names the package of every library the executables link to, as
# this machine resolves them, and the fonts the forms are printed in.
depends=$(dpkg-deb -f "$deb" Depends)
needed=(fonts-ocr-a fonts-liberation2)
# The package that owns a library, under whichever of its names dpkg knows
# (with a merged /usr, /lib/x/libm.so.6 may be known and /usr/lib/x/... not).
owner() {
  local real name
  real=$(readlink -f "$1")
  for name in "$1" "$real" "${real#/usr}" "/usr$1"; do
    dpkg -S "$name" 2>/dev/null | head -1 | cut -d: -f1 && return
  done
  fail "no package owns $1"
}
for exe in "$tree"/bin/greenslip "$tree"/bin/greenslip-batch; do
  for soname in $(readelf -d "$exe" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    lib=$(ldd "$exe" | awk -v n="$soname" '$1 == n { print $3 }')
    [ -n "$lib" ] || fail "$soname of $exe is not found"
    needed+=("$(owner "$lib")")
  done
done
for pkg in $(printf '%s\n' "${needed[@]}" | sort -u); do
  [[ ", $depends," == *", $pkg"[\ ,]* ]] || fail "Depends lacks $pkg: $depends"
done

# File list: the executables, every shipped data file, the desktop entry,
# the icon, the AppStream metadata, the manual pages, the copyright and the
# changelog; nothing outside /usr, no sources of the data files.
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
doc=./usr/share/doc/greenslip
expected="./usr/bin/greenslip ./usr/bin/greenslip-batch ./usr/share/applications/greenslip.desktop
          ./usr/share/icons/hicolor/scalable/apps/greenslip.svg
          ./usr/share/metainfo/com.quorvale.greenslip.metainfo.xml
          ./usr/share/man/man1/greenslip.1.gz ./usr/share/man/man1/greenslip-batch.1.gz
          $doc/copyright $doc/changelog.gz"
for f in data/*; do
  name=$(basename "$f")
  [ -f "$f" ] && [ "$name" != README.md ] && expected+=" ./usr/share/greenslip/$name"
done
for f in $expected; do
  grep -qxF "$f" <<<"$files" || fail "package lacks $f"
done
if grep -v '^\./usr/' <<<"$files" | grep -qv '^\./$'; then fail "files outside /usr: $(grep -v '^\./usr/' <<<"$files")"; fi
if grep -q 'registration/' <<<"$files"; then fail "the data file sources are packaged"; fi

# Debian's own checks of the package: any error or warning fails.
command -v lintian >/dev/null || fail "lintian is not installed (bash scripts/install-deps.sh --tests)"
if ! lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1; then
  cat "$work/lintian.log" >&2
  fail "lintian found errors or warnings"
fi

# Unpacked into a staging root that is then made read-only.
stage="$work/stage"
dpkg-deb -x "$deb" "$stage"
chmod -R a-w "$stage"

# The manual pages render without a warning from groff, the AppStream
# metadata validates, and the changelog's newest entry is this version.
for page in greenslip greenslip-batch; do
  rendered=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$stage/usr/share/man/man1/$page.1.gz" 2>"$work/man.log") ||
    fail "man cannot render $page(1): $(cat "$work/man.log")"
  [ ! -s "$work/man.log" ] || fail "groff warns on $page(1): $(cat "$work/man.log")"
  grep -q '^EXIT STATUS' <<<"$rendered" || fail "$page(1) has no EXIT STATUS section"
done
appstreamcli validate --no-net --pedantic "$stage/usr/share/metainfo/com.quorvale.greenslip.metainfo.xml" \
  >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log" >&2; fail "the AppStream metadata does not validate"; }
changelog_version=$(gzip -dc "$stage/usr/share/doc/greenslip/changelog.gz" | dpkg-parsechangelog -l - -S Version)
[ "$changelog_version" = "$version" ] || fail "the changelog's newest entry is $changelog_version, not $version"

touch "$work/before"
home="$work/home"
mkdir -p "$home/.config"
cat >"$home/.config/gslip3.ini" <<'EOF'
[Type]
Company=Quorvale
BarCodeApp=0
[YourAddress]
Line1=ACME Corp
Line2=1 Main St
City=Springfield
State=IL
Zip=62701
[Values]
CustID=12-345-6789
SerialNum=00000041
EOF
printf 'Ann Lee,1 Elm St,,,Boise,ID,83702\n' >"$work/list.csv"
run() { env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u GREENSLIP_DATA_DIR -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" "$@"; }

# --help and --version on the terminal, with no display and no Qt platform.
for exe in greenslip greenslip-batch; do
  run env -u QT_QPA_PLATFORM "$stage/usr/bin/$exe" --help >"$work/help.log" 2>&1 ||
    fail "$exe --help failed: $(cat "$work/help.log")"
  grep -q "^Usage: $exe " "$work/help.log" || fail "$exe --help shows no usage: $(cat "$work/help.log")"
  [ "$(run env -u QT_QPA_PLATFORM "$stage/usr/bin/$exe" --version 2>&1)" = "$exe $version" ] ||
    fail "$exe --version does not answer \"$exe $version\""
done

run "$stage/usr/bin/greenslip-batch" print "$work/list.csv" --pdf "$home/pdf" >"$work/batch.log" 2>&1 ||
  fail "the installed greenslip-batch failed: $(cat "$work/batch.log")"
log="$home/.local/share/greenslip/Reports/report3.dbf"
[ -f "$log" ] || fail "no mail log at $log"
records=$(od -An -tu4 -j4 -N4 "$log" | tr -d ' ')
[ "$records" = 1 ] || fail "the mail log holds $records records, not 1"
pdf=$(ls "$home"/pdf/*.pdf)
if command -v pdfinfo >/dev/null; then
  pdfinfo "$pdf" | grep -q 'Page size: *612 x 792 pts' || fail "$pdf is not on Letter paper"
fi

# The window, offscreen: still running after a few seconds, its folders made.
set +e
run QT_QPA_PLATFORM=offscreen timeout 5 "$stage/usr/bin/greenslip" >"$work/window.log" 2>&1
status=$?
set -e
[ $status = 124 ] || fail "the installed greenslip ended early ($status): $(cat "$work/window.log")"
[ -d "$home/.local/share/greenslip/Addresses" ] || fail "the window made no Addresses folder"

changed=$(find "$stage" -newer "$work/before")
[ -z "$changed" ] || fail "written into the program's folders: $changed"
cp "$deb" "$tree/"
echo "check-package: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB) passed; kept as $tree/$(basename "$deb")"
