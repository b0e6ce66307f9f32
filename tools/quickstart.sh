#!/usr/bin/env bash
# One-stop set-up, build, run and test on Debian.
#   tools/quickstart.sh run    build, then run the host under Wine
#   tools/quickstart.sh test   build everything and run every test
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

PACKAGES=(cmake ninja-build g++ clang clang-format libclang-rt-14-dev googletest libgtest-dev libssl-dev libboost-dev python3 python3-cryptography zbar-tools
          g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          wine wine64 xvfb xdotool x11-utils xclip imagemagick tesseract-ocr tesseract-ocr-eng
          iproute2 procps nsis chromium chromium-driver)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
  local missing=()
  for package in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
      || missing+=("$package")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      "${missing[@]}"
  fi
}

# The browser remote's page is bundled from npm packages at build time;
# package-lock.json pins each one and its checksum.
install_page_packages() {
  if ! command -v npm >/dev/null; then
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends nodejs npm
  fi
  if [ ! -x page/node_modules/.bin/esbuild ] || [ page/package-lock.json -nt page/node_modules/.package-lock.json ]; then
    echo "== installing the page's npm packages"
    (cd page && npm ci --no-audit --no-fund --loglevel=error)
  fi
}

build() {
  for preset in "$@"; do
    echo "== build: $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
  done
}

run_host() {
  install_missing
  install_page_packages
  build windows native
  local prefix="$ROOT/build/wine-run/prefix"
  export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="
  mkdir -p "$(dirname "$prefix")"
  [ -d "$prefix" ] || wineboot -i >/dev/null 2>&1
  local xvfb_pid=""
  local exe="$ROOT/build/windows/bin/Mirovanta2.exe"
  local remote="$ROOT/build/native/bin/mirovanta-remote"
  stop() {
    wineserver -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  }
  trap stop EXIT INT TERM
  if [ -z "${DISPLAY:-}" ]; then
    local number_file
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$number_file" ] && break; sleep 0.1; done
    export DISPLAY=":$(tr -d '\n' <"$number_file")"
    rm -f "$number_file"
    cat <<MSG
== No DISPLAY: the host runs in a Wine desktop on the private display $DISPLAY.
   Look at it:  DISPLAY=$DISPLAY import -window root screenshot.png   (or x11vnc -display $DISPLAY)
MSG
    set -- explorer /desktop=Mirovanta,1024x768 "$(winepath -w "$exe")"
  else
    set -- "$exe"
  fi
  cat <<MSG
== The host listens on UDP and TCP port 1565. Try:
   $remote discover 127.0.0.1
   $remote page 3 play
== Stop it with Ctrl+C (or WINEPREFIX=$prefix wineserver -k).
MSG
  wine "$@" || true
  wineserver -w || true
}

run_tests() {
  install_missing
  install_page_packages
  build native native-tsan windows
  echo "== native unit tests (AddressSanitizer, UndefinedBehaviorSanitizer) and the layer check"
  ctest --preset native
  echo "== threaded tests under ThreadSanitizer"
  ctest --preset native-tsan -L threaded
  echo "== fuzzing the datagram, seal, session and server paths (${FUZZ_SECONDS:-45} s a target)"
  FUZZ_SECONDS=${FUZZ_SECONDS:-45} fuzz/run.sh
  echo "== end-to-end tests under Wine"
  ctest --preset windows
}

case "${1:-}" in
  run) run_host ;;
  test) run_tests ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac
