#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan and UBSan) into build-fuzz,
# replays each seed corpus in samples/fuzz, then fuzzes each target for the
# given number of seconds (default 5), with samples/fuzz/<target>.dict as its
# dictionary when there is one.  New inputs go to a scratch folder,
# never into the committed corpus; a crash, leak or hang fails the script and
# leaves its input and log in that folder.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-5}"
# Every target has its seed corpus: the corpus folders name the targets.
mapfile -t targets < <(cd samples/fuzz && ls -d -- */ | tr -d /)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DKESTX_FUZZ=ON -DKESTX_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build-fuzz --target "${targets[@]/#/fuzz_}"

scratch="$(mktemp -d "${TMPDIR:-/tmp}/kestx-fuzz.XXXXXX")"
export QT_QPA_PLATFORM=offscreen
for target in "${targets[@]}"; do
  binary="build-fuzz/fuzz/fuzz_$target"
  seeds="samples/fuzz/$target"
  mkdir -p "$scratch/$target"
  log="$scratch/$target.log"
  options=(-timeout=10 -print_final_stats=1 -artifact_prefix="$scratch/$target-")
  if [[ -f "$seeds.dict" ]]; then options+=(-dict="$seeds.dict"); fi
  if ! "$binary" -runs=0 "$seeds" > "$log" 2>&1 ||
     ! "$binary" -max_total_time="$seconds" "${options[@]}" "$scratch/$target" "$seeds" >> "$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz_$target failed; its input and log are in $scratch" >&2
    exit 1
  fi
  echo "fuzz_$target: corpus replayed, $(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | tail -1 |
    grep -o '[0-9]*$' || echo "?") runs in ${seconds} s"
done
rm -rf "$scratch"
