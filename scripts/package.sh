#!/usr/bin/env bash
# Builds every package into dist/: the Debian package (dpkg-buildpackage, checked
# with lintian), the Windows Installer package and the portable Windows zip.
# scripts/package.sh [deb] [windows]: only those; all without arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
wanted=${*:-deb windows}
scripts/install-deps.sh build package $([[ $wanted == *windows* ]] && echo win32)

version=$(sed -n 's/^project(Quarvel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
changelog=$(dpkg-parsechangelog -S Version)
if [[ $changelog != "$version" ]]; then
  echo "debian/changelog is at $changelog but CMakeLists.txt at $version: add a changelog entry" >&2
  exit 1
fi
mkdir -p dist
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [[ $wanted == *deb* ]]; then
  # dpkg-buildpackage writes beside the source tree: build in a copy of it.
  source="$work/quarvel-$version"
  mkdir -p "$source"
  git ls-files -z --cached --others --exclude-standard |
    (cd "$root" && tar --null -T - --ignore-failed-read -cf -) | tar -xf - -C "$source"
  (cd "$source" && dpkg-buildpackage -us -uc -b)
  mv "$work"/quarvel*_"$version"_* dist/
  echo "== lintian"
  lintian --fail-on error,warning --info dist/quarvel_"$version"_*.changes
fi

if [[ $wanted == *windows* ]]; then
  cmake --preset mingw >/dev/null
  cmake --build --preset mingw -j"$(nproc)" --target Quarvel QuarvelConfig
  programs=build/mingw/platform/win32/programs
  packaging/windows/make-msi.sh "$version" "$programs" "dist/Quarvel-$version-x64.msi"
  # The portable zip: settings.ini beside the programs, wherever it is unpacked.
  portable="$work/Quarvel-$version"
  mkdir -p "$portable"
  cp "$programs/Quarvel.exe" "$programs/QuarvelConfig.exe" "$portable/"
  cp README.md "$portable/README.md"
  cp LICENSE "$portable/LICENSE.txt"
  # The map page with its Leaflet, to be served from any web host.
  if [[ -d web/quarvel ]]; then
    scripts/build-web.sh "$work/web"
    mkdir -p "$portable/web"
    cp -r "$work/web/quarvel" "$portable/web/"
  fi
  rm -f "dist/Quarvel-$version-windows-portable.zip"
  python3 -m zipfile -c "dist/Quarvel-$version-windows-portable.zip" "$portable"
fi
ls -l dist/
