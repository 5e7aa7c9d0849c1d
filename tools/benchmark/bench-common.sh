# Shared by compare-imagemagick.sh and compare-codecs.sh, which source it after setting `here`
# (the source tree) and `out` (the build folder, absolute): ImageMagick with a private policy,
# Pillow, and how to build and run one of our benchmark programs.

IM=/usr/bin/convert-im6.q16

# im_prepare WORK: stops when ImageMagick is missing; otherwise writes a policy without the
# default memory and size caps into WORK/policy, used by every ImageMagick command from here on.
im_prepare() {
  [ -x "$IM" ] || { echo "ImageMagick ($IM) is not installed" >&2; exit 1; }
  mkdir -p "$1/policy"
  cat > "$1/policy/policy.xml" <<'POLICY'
<policymap>
  <policy domain="resource" name="memory" value="8GiB"/>
  <policy domain="resource" name="map" value="8GiB"/>
  <policy domain="resource" name="area" value="4GP"/>
  <policy domain="resource" name="disk" value="16GiB"/>
  <policy domain="resource" name="width" value="64KP"/>
  <policy domain="resource" name="height" value="64KP"/>
</policymap>
POLICY
  export MAGICK_CONFIGURE_PATH="$1/policy"
}

# bench_prepare MODE PROGRAM DIR: brings PROGRAM up to date in the build folder (a stale
# program would time old code) and defines
# run_bench, which runs it on the host (MODE native) or under Wine (MODE windows: the Windows
# build that Wine runs on this machine, see tools/windows-arch.sh, in a prefix of the build
# folder's own); bench_dir is DIR as the program sees it.
bench_prepare() {
  local mode="$1" program="$2" dir="$3"
  if [ "$mode" = native ]; then
    bench="$out/native/bin/$program"
    (cd "$here" && LUMATRE_BUILD_DIR="${out#$here/}" tools/build.sh --native "$program" >/dev/null) || return 1
    run_bench() { "$bench" "$@"; }
    bench_dir="$dir"
    bench_label=native
  else
    # shellcheck source=SCRIPTDIR/../windows-arch.sh
    source "$here/tools/windows-arch.sh"
    local arch windows
    arch=$(lumatre_runnable_arch)
    windows=$(lumatre_windows_dir "$arch")
    bench="$out/$windows/bin/$program.exe"
    (cd "$here" && LUMATRE_ARCH="$arch" LUMATRE_BUILD_DIR="${out#$here/}" tools/build.sh "$program" >/dev/null) || return 1
    lumatre_use_wine "$arch"
    export WINEPREFIX="$out/wineprefix-compare-$windows" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      mkdir -p "$WINEPREFIX"
      DISPLAY= wineboot -i >/dev/null 2>&1 || true
      wineserver -w
    fi
    run_bench() { DISPLAY= wine "$bench" "$@"; }
    bench_dir="$(DISPLAY= wine winepath.exe -w "$dir" 2>/dev/null | tr -d '\r')"
    bench_label="$windows"
  fi
}

PILLOW_PYTHON=/usr/bin/python3

# pillow_prepare: stops when Debian's Pillow (python3-pil) is missing; pillow runs
# pillow_bench.py with the Python it belongs to.
pillow_prepare() {
  "$PILLOW_PYTHON" -c 'import PIL' 2>/dev/null ||
    { echo "Pillow is not installed for $PILLOW_PYTHON (Debian package python3-pil)" >&2; exit 1; }
  pillow() { "$PILLOW_PYTHON" "$here/tools/benchmark/pillow_bench.py" "$@"; }
}
