#!/usr/bin/env bash
# Builds everything and runs every test: the portable core natively under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the whole Windows build under Wine in a virtual desktop.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
bash tools/setup-deps.sh
tools/build.sh --native
tools/build.sh

echo "== native tests (sanitizers) =="
ctest --test-dir "${LUMATRE_BUILD_DIR:-build}/native" --output-on-failure -j "$(nproc)"

echo "== Windows tests (Wine) =="
export LUMATRE_OWN_DISPLAY=1
source tools/wine-session.sh
trap wine_session_stop EXIT
rm -rf "${LUMATRE_BUILD_DIR:-build}/wineprefix"
wine_session_start "$here/${LUMATRE_BUILD_DIR:-build}/wineprefix"
ctest --test-dir "${LUMATRE_BUILD_DIR:-build}/win32" --output-on-failure -j "$(nproc)"
