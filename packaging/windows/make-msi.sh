#!/usr/bin/env bash
# Builds the Windows Installer package from cross-built programs:
# make-msi.sh VERSION PROGRAM_DIR OUT.msi (PROGRAM_DIR holds Quarvel.exe, QuarvelConfig.exe).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
version=$1 programs=$2 out=$3
wixl -a x64 -D Version="$version" -D ProgramDir="$programs" -D ResourceDir="$root/resources" \
  -D PackagingDir="$root/packaging" -D SourceDir="$root" "$here/quarvel.wxs" -o "$out"
