#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UBSan and runs every test.  With
# clang at hand it first replays the fuzzing corpora and fuzzes every reader of
# outside input for a few seconds (scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-asan -G Ninja -DKESTX_SANITIZE=ON
cmake --build build-asan
if command -v clang++ > /dev/null; then
  scripts/fuzz.sh 5
fi
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
