#!/usr/bin/env bash
# Assembles the map page into OUT/quarvel: the page's own files and the dist files of the
# Leaflet pinned in web/package-lock.json, installed with npm into WORK (a scratch folder
# unless given; a kept WORK is reinstalled only when the lock changes).
set -euo pipefail
usage="usage: build-web.sh OUT [WORK]"
[[ $# -ge 1 && $# -le 2 ]] || { echo "$usage" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
out=$1
work=${2:-}
if [[ -z "$work" ]]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi
mkdir -p "$work"
if ! cmp -s "$root/web/package-lock.json" "$work/package-lock.json" ||
   [[ ! -f "$work/node_modules/leaflet/dist/leaflet.js" ]]; then
  cp "$root/web/package.json" "$root/web/package-lock.json" "$work/"
  npm ci --prefix "$work" --no-audit --no-fund --ignore-scripts --prefer-offline --loglevel=error
fi

page="$out/quarvel"
rm -rf "$page"
mkdir -p "$page/leaflet"
cp "$root"/web/quarvel/* "$page/"
dist="$work/node_modules/leaflet/dist"
cp -r "$dist/leaflet.js" "$dist/leaflet.css" "$dist/images" "$page/leaflet/"
cp "$work/node_modules/leaflet/LICENSE" "$page/leaflet/"
