#!/usr/bin/env bash
# Builds everything and runs every test: the portable core natively under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the whole Windows build under Wine on two virtual desktops
# at once (LUMATRE_DESKTOPS sets another number), each screen test alone on its desktop.
#
# The Windows build tested is the 32-bit program wherever Wine's 32-bit loader runs; on a
# machine without 32-bit support it is the 64-bit build of the same sources, and the 32-bit
# program and hook library are still built (tools/windows-arch.sh).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
out="${LUMATRE_BUILD_DIR:-build}"
bash tools/setup-deps.sh
source tools/windows-arch.sh
arch=$(lumatre_runnable_arch)
windir=$(lumatre_windows_dir "$arch")
tools/build.sh --native
if [ "$arch" != i686 ]; then
  echo "== 32-bit program (built; this machine's Wine runs the $arch build) =="
  LUMATRE_ARCH=i686 tools/build.sh Lumatre QuorvaHook lumaconv
fi
LUMATRE_ARCH=$arch tools/build.sh

echo "== native tests (sanitizers) =="
ctest --test-dir "$out/native" --output-on-failure -j "$(nproc)"

echo "== Windows tests (Wine, $arch build) =="
phase_start=$(date +%s.%N)
desktops=${LUMATRE_DESKTOPS:-2}
[[ "$desktops" =~ ^[1-9][0-9]?$ ]] || { echo "test: LUMATRE_DESKTOPS must be a number from 1 to 99" >&2; exit 2; }
export LUMATRE_OWN_DISPLAY=1
lumatre_use_wine "$arch"
source tools/wine-session.sh
trap wine_session_stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP
prefixes=()
for ((i = 0; i < desktops; i++)); do
  prefixes+=("$here/$out/wineprefix-$windir-$i")
  rm -rf "${prefixes[i]}"
done
wine_session_start "${prefixes[@]}"
wine_session_resource_file "$here/$out/desktops.json"
export LUMATRE_DESKTOP_LOG="$here/$out/desktops.log"
: >"$LUMATRE_DESKTOP_LOG"
ctest_start=$(date +%s.%N)
# As many tests as cores: screen tests that wait for input and pixels must not starve for time.
# A test that fails is run once more: on a loaded machine Wine now and then drops a synthesized
# input event or repaints late; a real fault fails both times, and the output keeps both runs.
status=0
ctest --test-dir "$out/$windir" --output-on-failure -j "${LUMATRE_TEST_JOBS:-$(nproc)}" \
  --repeat until-pass:"${LUMATRE_TEST_TRIES:-2}" \
  --resource-spec-file "$here/$out/desktops.json" | tee "$here/$out/ctest-$windir.log" || status=$?
phase_end=$(date +%s.%N)

# How long each desktop was busy: the durations ctest printed for the screen tests that
# tools/wine-run logged on it.
awk -v start="$phase_start" -v cstart="$ctest_start" -v end="$phase_end" -v n="$desktops" '
  FILENAME == ARGV[1] { desk[$2] = $1; next }
  match($0, /Test +#[0-9]+: [^ ]+ /) {
    split(substr($0, RSTART, RLENGTH), f, " ")
    name = f[3]
    if ((name in desk) && match($0, /[0-9.]+ sec/)) {
      d = desk[name]; busy[d] += substr($0, RSTART, RLENGTH - 4); count[d]++
    }
  }
  END {
    printf "Windows tests: %.0f s wall time (desktops ready in %.0f s, ctest %.0f s)\n",
           end - start, cstart - start, end - cstart
    for (d = 0; d < n; d++) {
      disp = ENVIRON["LUMATRE_DESKTOP_" d "_DISPLAY"]
      printf "  desktop %d (display %s): busy %.1f s with %d screen tests\n", d, disp, busy[d], count[d]
    }
  }' "$LUMATRE_DESKTOP_LOG" "$here/$out/ctest-$windir.log"
exit $status
