#!/usr/bin/env bash
# For developers: builds the named targets of the Windows tree and runs matching tests in a
# private Wine session (own Xvfb display, own prefix), so that several people can test at once.
#   LUMATRE_BUILD_DIR=build-me tools/dev-test.sh target... [-- ctest arguments]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
out="${LUMATRE_BUILD_DIR:-build}"
targets=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do targets+=("$1"); shift; done
[ "${1:-}" = "--" ] && shift
tools/build.sh "${targets[@]}"
export LUMATRE_OWN_DISPLAY=1
source tools/wine-session.sh
trap wine_session_stop EXIT
wine_session_start "$here/$out/wineprefix"
ctest --test-dir "$out/win32" --output-on-failure "$@"
