#!/usr/bin/env bash
# The whole test suite: installs what it needs, builds, runs the fuzzers briefly
# and finally every CTest test, whose summary is the last thing printed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build test win32 package
jobs=$(nproc)
# Every build here fails on a compiler warning (users' builds only warn).
strict=-DQUARVEL_WARNINGS_AS_ERRORS=ON

# Fuzz targets: a short run each over the seed corpus.
cmake --preset fuzz "$strict" >/dev/null
cmake --build --preset fuzz -j"$jobs"
for fuzzer in build/fuzz/fuzz/*_fuzz; do
  [[ -x "$fuzzer" ]] || continue
  name=$(basename "$fuzzer")
  work=$(mktemp -d); cp -r "fuzz/corpus/$name/." "$work/" 2>/dev/null || true
  log="$work.log"
  echo "== $name (${QUARVEL_FUZZ_SECONDS:-30} s)"
  if ! "$fuzzer" -max_total_time="${QUARVEL_FUZZ_SECONDS:-30}" -print_final_stats=1 "$work" >"$log" 2>&1; then
    tail -n 40 "$log"; exit 1
  fi
  grep -E 'stat::number_of_executed_units' "$log" || true
  rm -rf "$work" "$log"
done

# The desktop Windows programs, cross-built; the default build's win32_* tests
# run them under Wine (and skip, saying why, when build/mingw is missing).
cmake --preset mingw "$strict" >/dev/null
cmake --build --preset mingw -j"$jobs"

# The packages into dist/ (the Debian package compiles the programs once, in a
# build of its own); the packaging_deb test installs the .deb.
scripts/package.sh

# The end-to-end runs under ThreadSanitizer: a race report fails them. GTK stays
# out of this build: GLib is not instrumented, so its own locking reads as races.
cmake --preset tsan "$strict" >/dev/null
cmake --build --preset tsan -j"$jobs"
ctest --preset tsan -L e2e

# The unit tests under AddressSanitizer and UndefinedBehaviorSanitizer.
cmake --preset asan "$strict" >/dev/null
cmake --build --preset asan -j"$jobs"
ctest --preset asan -L unit -j"$jobs"

cmake --preset default "$strict" >/dev/null
cmake --build --preset default -j"$jobs"
ctest --preset default -j"$jobs"
