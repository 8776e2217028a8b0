#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UBSan and runs every test.  With
# clang at hand it first replays the fuzzing corpora and fuzzes every reader of
# outside input for a few seconds (scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
# The OIL program thread shares the world with the user-interface thread:
# its tests, those of links read across the two threads, of the element slabs
# (blocks freed on one thread serve another), of the world lock and the
# application queue, the script console's, and those of forms a program thread
# has shown on the user-interface thread also run under ThreadSanitizer (only
# they, so CI stays fast).
cmake -S . -B build-tsan -G Ninja -DKESTX_TSAN=ON
cmake --build build-tsan --target test_oil test_platform test_framework test_app test_render test_forestry
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/scripts/tsan.supp"
QT_QPA_PLATFORM=offscreen build-tsan/tests/test_oil
QT_QPA_PLATFORM=offscreen build-tsan/tests/test_platform --gtest_filter='AppQueue.*'
QT_QPA_PLATFORM=offscreen build-tsan/tests/test_framework --gtest_filter='ElementLinksTest.*:ElementSlabsTest.*:WorldLock.*'
QT_QPA_PLATFORM=offscreen build-tsan/tests/test_app \
  --gtest_filter='ConsoleTest.*:ConsoleThreads.*:WatchTest.*:ConditionFilterTest.AProgramsThread*'
QT_QPA_PLATFORM=offscreen build-tsan/tests/test_render --gtest_filter='PropertyEditorTest.AProgramsThread*'
QT_QPA_PLATFORM=offscreen build-tsan/tests/test_forestry --gtest_filter='*.FromAProgramThread*'
# The summary of the whole suite stays the last thing printed.
cmake -S . -B build-asan -G Ninja -DKESTX_SANITIZE=ON
cmake --build build-asan
if command -v clang++ > /dev/null; then
  scripts/fuzz.sh 5
fi
# Our users run the program in the Czech locale, whose decimal comma and
# collation must not reach what it writes or shows: the program's runs and
# the tests of the libraries with windows run once more in it.
LANG=cs_CZ.UTF-8 LC_ALL=cs_CZ.UTF-8 ctest --test-dir build-asan --output-on-failure -j"$(nproc)" \
  -L '^(render|cartography|app|forestry|program)$'
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
