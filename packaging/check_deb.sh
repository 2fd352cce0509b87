#!/usr/bin/env bash
# Makes the Debian package from an existing build (cpack -G DEB) and checks
# it: its control fields and file list, stripped binaries, and the unpacked
# programs run with an empty home: zolvant-cli finds the seed beside itself,
# and the window's first start makes the user's copy from it.
# Usage: check_deb.sh BUILD-FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

version=$(sed -n 's/^#define ZOLVANT_VERSION "\(.*\)"$/\1/p' "$build/generated/zolvant/version.h")
arch=$(dpkg --print-architecture)
deb=$build/zolvant_${version}_${arch}.deb
rm -f "$deb"
(cd "$build" && cpack -G DEB >"$build/cpack.log" 2>&1) || { cat "$build/cpack.log"; fail "cpack -G DEB failed"; }
[ -f "$deb" ] || fail "cpack made no $(basename "$deb")"

tmp=$(mktemp -d)
pid=
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; [ -n "${KEEP:-}" ] || rm -rf "$tmp"; }
trap cleanup EXIT

dpkg-deb -I "$deb" >"$tmp/info"
field() { sed -n "s/^ $1: //p" "$tmp/info"; }
[ "$(field Package)" = zolvant ] || fail "Package is not zolvant"
[ "$(field Version)" = "$version" ] || fail "Version is not $version"
[ "$(field Section)" = science ] || fail "Section is not science"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
grep -q '^ Description: .' "$tmp/info" || fail "no Description"
depends=$(field Depends)
for d in libqt6core6 libqt6gui6 libqt6widgets6 libsqlite3-0 fonts-liberation; do
  [[ $depends == *"$d"* ]] || fail "Depends lacks $d: $depends"
done

# Exactly the installed tree, below /usr.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | LC_ALL=C sort >"$tmp/files"
LC_ALL=C sort "$here/install-tree.txt" >"$tmp/expected"
diff -u "$tmp/expected" "$tmp/files" || fail "the package's files differ from install-tree.txt"

dpkg-deb -x "$deb" "$tmp/root"
for exe in zolvant zolvant-cli; do
  if readelf -S "$tmp/root/usr/bin/$exe" | grep -qE '\.(symtab|debug_info)'; then fail "$exe is not stripped"; fi
done

# An empty home: nothing found there, nothing but the seed to read.
mkdir -p "$tmp/home" "$tmp/data" "$tmp/config" "$tmp/dirs"
clean_env=(env -i PATH=/usr/bin:/bin HOME="$tmp/home" XDG_DATA_HOME="$tmp/data" XDG_CONFIG_HOME="$tmp/config"
           XDG_DATA_DIRS="$tmp/dirs" XDG_RUNTIME_DIR="$tmp")
run() { "${clean_env[@]}" "$@"; }
[ "$(run "$tmp/root/usr/bin/zolvant-cli" --version)" = "zolvant-cli $version" ] || fail "zolvant-cli --version"
[ "$(run "$tmp/root/usr/bin/zolvant" --version)" = "zolvant $version" ] || fail "zolvant --version"
out=$(run "$tmp/root/usr/bin/zolvant-cli" solve -T 26.85 -P 1 n-Butane=1) || fail "zolvant-cli solve: $out"
grep -qE 'n-Butane \(1\.000\) +165\.47 +24494\.3 +0\.9820' <<<"$out" || fail "zolvant-cli solve printed: $out"
[ -z "$(find "$tmp/data" "$tmp/config" "$tmp/home" -mindepth 1)" ] || fail "a reading command wrote a file"

# The window's first start makes the user's copy, byte for byte the seed.
seed=$tmp/root/usr/share/zolvant/Components.mdb
seed_sum=$(sha256sum <"$seed")
# Not through run(): a function in the background is a subshell, and $!
# would be that shell, not the window (which the kill would then miss).
"${clean_env[@]}" QT_QPA_PLATFORM=offscreen "$tmp/root/usr/bin/zolvant" >"$tmp/window.log" 2>&1 &
pid=$!
copy=$tmp/data/zolvant/Components.mdb
for _ in $(seq 100); do
  [ -s "$copy" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
[ -s "$copy" ] || { cat "$tmp/window.log"; fail "the window's first start made no $copy"; }
sleep 0.5
kill -0 "$pid" 2>/dev/null || { cat "$tmp/window.log"; fail "the window did not stay open"; }
kill "$pid"; wait "$pid" 2>/dev/null || true
pid=
[ "$(sha256sum <"$copy")" = "$seed_sum" ] || fail "the user's copy is not the seed"
[ "$(sha256sum <"$seed")" = "$seed_sum" ] || fail "the seed changed"
[ -w "$copy" ] || fail "the user's copy is not writable"
echo "Debian package $(basename "$deb"): OK ($(du -k "$deb" | cut -f1) kB; Depends: $depends)"
