#!/usr/bin/env bash
# Installs what Heronwatch needs on Debian 12, builds it, and runs the program or the tests.
#
#   scripts/heronwatch.sh run    install, build, start the program
#   scripts/heronwatch.sh test   install, build, run every test (CTest summary at the end)
#   scripts/heronwatch.sh deps   install the Debian packages only
#
# HERONWATCH_WERROR=1 builds with warnings as errors (CI does); the user's build never fails on
# a warning that a newer compiler adds.
set -euo pipefail

cd "$(dirname "$0")/.."

# One line each on why in README.md.
PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev clang-format clang-tidy
  qt6-base-dev qt6-websockets-dev qt6-httpserver-dev qt6-tools-dev qt6-l10n-tools
  libgl-dev libcurl4-openssl-dev libjpeg62-turbo-dev libpng-dev libcanberra-dev openssl
  googletest libgtest-dev libgmock-dev libbenchmark-dev python3
  fonts-noto-cjk fonts-liberation2
  xvfb xauth xdg-utils
  dbus python3-dbus python3-gi
  openbox xdotool x11-utils x11-xserver-utils trayer
  weston xwayland qt6-wayland
  chromium chromium-driver
  dpkg-dev appstream desktop-file-utils lintian debootstrap
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_deps() {
  local missing=()
  for package in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      "${missing[@]}"
  fi
}

build() {
  cmake --preset default -DHW_WARNINGS_AS_ERRORS="${HERONWATCH_WERROR:-OFF}"
  cmake --build --preset default
}

run_program() {
  local program=build/default/src/heronwatch
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting Heronwatch on a virtual X display (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1920x1080x24" "$program"
  fi
  exec "$program"
}

run_tests() {
  local status=0
  # The fuzz targets build with clang and run a few seconds each as a smoke test; the main
  # suite runs last so that its CTest summary ends the output.
  cmake --preset fuzz
  cmake --build --preset fuzz
  ctest --preset fuzz || status=$?
  ctest --preset default --parallel "$(nproc)" || status=$?
  return "$status"
}

case "${1:-}" in
  run) install_deps; build; run_program ;;
  test) install_deps; build; run_tests ;;
  deps) install_deps ;;
  *) echo "usage: $0 run|test|deps" >&2; exit 2 ;;
esac
