#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UBSan and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-asan -G Ninja -DKESTX_SANITIZE=ON
cmake --build build-asan
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
