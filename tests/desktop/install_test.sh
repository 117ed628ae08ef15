#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs:
# the programs reachable from bin/, the about picture beside the light
# edition, the Access reader beside the editions, valid menu entries that
# pass the file, and every icon they name.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for program in mosswick-enhanced mosswick-light Tallowby; do
  link="$prefix/bin/$program"
  [ -L "$link" ] || fail "$link is not a link"
  real=$(readlink -f "$link")
  [ -x "$real" ] || fail "$link does not lead to a program ($real)"
  case "$real" in "$prefix"/*) ;; *) fail "$link leads out of the prefix: $real" ;; esac
done
light=$(readlink -f "$prefix/bin/mosswick-light")
[ -s "$(dirname "$light")/about3.jpg" ] || fail "no about3.jpg beside the light edition"
for program in mosswick-enhanced mosswick-light; do
  reader="$(dirname "$(readlink -f "$prefix/bin/$program")")/mosswick-jet-reader"
  [ -x "$reader" ] || fail "no Access reader beside $program ($reader)"
done
[ ! -e "$prefix/bin/mosswick-jet-reader" ] || fail "the Access reader is linked in bin/; only the converting programs start it"
# It runs (its libraries are found) and asks for the file it reads.
status=0
"$reader" >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "$reader without a file ended with $status, not 2"

command -v desktop-file-validate >/dev/null || fail "desktop-file-validate is missing (desktop-file-utils)"
entries=0
for entry in "$prefix"/share/applications/*.desktop; do
  entries=$((entries + 1))
  out=$(desktop-file-validate "$entry" 2>&1) || fail "$entry: $out"
  [ -z "$out" ] || fail "$entry: $out"
  exec_line=$(sed -n 's/^Exec=//p' "$entry")
  program=${exec_line%% *}
  [ -L "$prefix/bin/$program" ] || fail "$entry starts $program, which is not installed"
  [ "${exec_line#* }" = "%f" ] || fail "$entry does not hand the program a file (%f): $exec_line"
  icon=$(sed -n 's/^Icon=//p' "$entry")
  for size in 16 24 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png"
    [ -s "$png" ] || fail "missing icon $png"
    # PNG signature, then the IHDR width and height (big-endian) at bytes 16-23.
    [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] || fail "$png is not a PNG"
    wh=$(od -An -tu1 -j16 -N8 "$png" | awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }')
    [ "$wh" = "$size $size" ] || fail "$png is $wh, not ${size}x${size}"
  done
done
[ "$entries" -eq 3 ] || fail "expected 3 menu entries, found $entries"
echo "install: 3 programs, 3 menu entries and their icons checked"
