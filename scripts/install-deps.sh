#!/usr/bin/env bash
# Installs the Debian packages listed in the named scripts/packages/*.txt files
# (with what they recommend: Wine draws its dialog fonts from fonts-wine),
# asking apt only when one of them is missing. A line "PACKAGE COMMAND" asks for PACKAGE
# only when COMMAND is not on PATH either (npm comes inside some builds of nodejs).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
wanted=()
for group in "$@"; do
  while read -r pkg command; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    [[ -n "$command" ]] && command -v "$command" >/dev/null && continue
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || wanted+=("$pkg")
  done < "$here/packages/$group.txt"
done
((${#wanted[@]})) || exit 0
echo "Installing: ${wanted[*]}" >&2
sudo=""; [[ $(id -u) -eq 0 ]] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${wanted[@]}" >/dev/null
