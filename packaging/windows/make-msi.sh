#!/usr/bin/env bash
# Builds the Windows Installer package from cross-built programs:
# make-msi.sh VERSION PROGRAM_DIR OUT.msi (PROGRAM_DIR holds Quarvel.exe, QuarvelConfig.exe).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
version=$1
out=$(realpath "$3")
# wixl takes its sources by paths relative to the folder it runs in.
programs=$(realpath --relative-to="$root" "$2")
cd "$root"
wixl -a x64 -D Version="$version" -D ProgramDir="$programs" -D ResourceDir=resources \
  -D PackagingDir=packaging -D SourceDir=. packaging/windows/quarvel.wxs -o "$out"
