#!/usr/bin/env bash
# Fuzzes the decoders: builds the libFuzzer targets of fuzz/ with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/ and runs each for the given number of seconds
# (default 60), starting from the seed corpus in tests/data/decode/corpus/.
#   tools/fuzz.sh [seconds] [target...]     targets: auto bmp tga pcx pgm pict gif tiff (default: all)
# Inputs that crash land in build-fuzz/crashes/<target>/; copy each (after fixing it) into
# tests/data/decode/crashes/, whose files the test suite replays.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(auto bmp tga pcx pgm pict gif tiff)
out="$here/build-fuzz"
seeds="$here/tests/data/decode/corpus"

CC=clang CXX=clang++ cmake -S "$here/fuzz" -B "$out/cmake" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
names=()
for t in "${targets[@]}"; do names+=(--target "fuzz_decode_$t"); done
cmake --build "$out/cmake" -j "$(nproc)" "${names[@]}"

status=0
for t in "${targets[@]}"; do
  corpus="$out/corpus/$t"
  crashes="$out/crashes/$t"
  mkdir -p "$corpus" "$crashes"
  # The auto target starts from every format's seeds, the others from their own.
  if [ "$t" = auto ]; then
    seed_dirs=("$seeds"/*/)
  else
    seed_dirs=("$seeds/$t/")
  fi
  echo "fuzz: $t for ${seconds} s"
  if ! "$out/cmake/fuzz_decode_$t" "$corpus" "${seed_dirs[@]}" -max_total_time="$seconds" -max_len=65536 \
       -rss_limit_mb=2048 -timeout=10 -artifact_prefix="$crashes/" -print_final_stats=1 \
       >"$out/$t.log" 2>&1; then
    echo "fuzz: $t found a problem; see $out/$t.log and $crashes/" >&2
    status=1
  fi
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$out/$t.log" | sed "s/^/fuzz: $t: /" || true
done
exit $status
