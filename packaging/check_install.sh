#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what lands there:
# exactly the files of install-tree.txt, a desktop entry and a metainfo file
# that their validators accept, and every icon they name.
# Usage: check_install.sh BUILD-FOLDER APP-ID EXPECTED-TREE
set -euo pipefail
build=$1 id=$2 expected=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
(cd "$tmp/prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort) >"$tmp/tree"
LC_ALL=C sort "$expected" >"$tmp/expected"
diff -u "$tmp/expected" "$tmp/tree" || fail "the installed tree differs from $expected (- expected, + installed)"

desktop=$tmp/prefix/share/applications/$id.desktop
metainfo=$tmp/prefix/share/metainfo/$id.metainfo.xml

# Both validators exit 0 on some errors: their output decides.
desktop-file-validate "$desktop" >"$tmp/dfv" 2>&1 || true
cat "$tmp/dfv"
if grep -qiE '(^|: )(error)' "$tmp/dfv"; then fail "desktop-file-validate reports an error"; fi
appstreamcli validate --no-net --pedantic "$metainfo" >"$tmp/asv" 2>&1 || true
cat "$tmp/asv"
if grep -qE '^E:' "$tmp/asv"; then fail "appstreamcli reports an error"; fi
grep -qiE 'validation (was successful|passed)' "$tmp/asv" || fail "appstreamcli did not report success"

# The desktop entry's keys, and the icon it names in every size.
for key in "Type=Application" "Name=Zolvant" "Exec=zolvant" "Icon=$id" "Terminal=false" \
           "Categories=Science;Chemistry;Engineering;"; do
  grep -qxF "$key" "$desktop" || fail "the desktop entry lacks $key"
done
for key in GenericName Comment Keywords StartupWMClass; do
  grep -q "^$key=." "$desktop" || fail "the desktop entry lacks $key"
done
icon=$(sed -n 's/^Icon=//p' "$desktop")
for f in "$tmp/prefix/share/icons/hicolor/scalable/apps/$icon.svg" \
         "$tmp"/prefix/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}"/apps/$icon.png"; do
  [ -s "$f" ] || fail "the icon $f is missing"
done
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
[ -f "$tmp/prefix/share/applications/$launchable" ] || fail "the metainfo's launchable $launchable is not installed"
grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"
echo "installed tree and desktop files: OK"
