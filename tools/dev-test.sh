#!/usr/bin/env bash
# For developers: builds the named targets of the Windows tree and runs matching tests in a
# private Wine session (own Xvfb display, own prefix, one desktop that the screen tests take in
# turn), so that several people can test at once.
#   LUMATRE_BUILD_DIR=build-me tools/dev-test.sh target... [-- ctest arguments]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
out="${LUMATRE_BUILD_DIR:-build}"
targets=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do targets+=("$1"); shift; done
[ "${1:-}" = "--" ] && shift
source tools/windows-arch.sh
arch=$(lumatre_runnable_arch)
LUMATRE_ARCH=$arch tools/build.sh "${targets[@]}"
export LUMATRE_OWN_DISPLAY=1
lumatre_use_wine "$arch"
source tools/wine-session.sh
trap wine_session_stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP
wine_session_start "$here/$out/wineprefix-$(lumatre_windows_dir "$arch")"
wine_session_resource_file "$here/$out/desktops-dev.json"
ctest --test-dir "$out/$(lumatre_windows_dir "$arch")" --output-on-failure --resource-spec-file "$here/$out/desktops-dev.json" "$@"
