#!/usr/bin/env bash
# Unpacks Debian's source package of GeographicLib into DEST (the same version as the
# libgeographiclib-dev that the Linux build links), for the Windows build to cross-build:
# Debian ships no mingw-w64 build of it. Adds deb-src entries for the Debian archives
# that apt already uses when there are none. Does nothing when DEST holds it already.
set -euo pipefail
usage="usage: fetch-geographiclib.sh DEST"
[[ $# -eq 1 ]] || { echo "$usage" >&2; exit 2; }
dest=$1
[[ -f "$dest/CMakeLists.txt" && -f "$dest/include/GeographicLib/MGRS.hpp" ]] && exit 0

sudo=""; [[ $(id -u) -eq 0 ]] || sudo="sudo"
command -v dpkg-source >/dev/null || $sudo apt-get install -y -qq dpkg-dev >/dev/null

# The Debian stanzas of apt's lists again, as deb-src, in a list of our own.
add_deb_src() {
  local lists=/etc/apt/sources.list.d stanzas lines file
  stanzas=$(for file in "$lists"/*.sources; do
    [[ -f "$file" ]] || continue
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         /(^|\n)Types:[^\n]*deb/ && /URIs:[^\n]*debian/ {
           sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' "$file"
  done)
  lines=$( (cat /etc/apt/sources.list "$lists"/*.list 2>/dev/null || true) |
    sed -n 's/^deb \(.*debian.*\)$/deb-src \1/p')
  [[ -n "$stanzas$lines" ]] || { echo "apt's lists name no Debian archive" >&2; exit 1; }
  [[ -z "$stanzas" ]] || $sudo tee "$lists/quarvel-deb-src.sources" <<<"$stanzas" >/dev/null
  [[ -z "$lines" ]] || $sudo tee "$lists/quarvel-deb-src.list" <<<"$lines" >/dev/null
  $sudo apt-get update -qq
}

if ! apt-get source --print-uris -qq geographiclib >/dev/null 2>&1; then
  add_deb_src
fi

work=$(mktemp -d "$(dirname "$dest")/geographiclib-fetch.XXXXXX")
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get source -qq geographiclib >/dev/null 2>&1) ||
  { echo "apt-get source geographiclib failed" >&2; exit 1; }
unpacked=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'geographiclib-*')
rm -rf "$dest"
mv "$unpacked" "$dest"
