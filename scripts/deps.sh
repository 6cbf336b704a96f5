#!/usr/bin/env bash
# Installs the Debian packages that Velvix needs and that are missing; a second run installs
# nothing. Usage: scripts/deps.sh build|test|format|fuzz|bench|windows|soak|screenshot|all
set -euo pipefail

build_pkgs=(cmake make g++ pkg-config libx11-dev libxrandr-dev libxft-dev libfontconfig1-dev
            libxext-dev libxrender-dev libxcursor-dev libgl-dev libglu1-mesa-dev
            libgl1-mesa-dri libglx-mesa0 libpixman-1-dev fonts-dejavu-core)
test_pkgs=(libgtest-dev xvfb xdotool x11-utils libxtst-dev libxfixes-dev libstb-dev openbox)
fuzz_pkgs=(clang libclang-rt-14-dev)
format_pkgs=(clang-format)
bench_pkgs=(libglfw3-dev mesa-utils)
windows_pkgs=(g++-mingw-w64-x86-64 wine wine64 imagemagick)
soak_pkgs=(wmctrl)
screenshot_pkgs=(x11-apps imagemagick)

case "${1:-all}" in
  build) want=("${build_pkgs[@]}") ;;
  test) want=("${build_pkgs[@]}" "${test_pkgs[@]}") ;;
  format) want=("${format_pkgs[@]}") ;;
  fuzz) want=("${build_pkgs[@]}" "${test_pkgs[@]}" "${fuzz_pkgs[@]}") ;;
  bench) want=("${build_pkgs[@]}" "${test_pkgs[@]}" "${bench_pkgs[@]}") ;;
  windows) want=("${build_pkgs[@]}" "${test_pkgs[@]}" "${windows_pkgs[@]}") ;;
  soak) want=("${build_pkgs[@]}" "${test_pkgs[@]}" "${bench_pkgs[@]}" "${soak_pkgs[@]}") ;;
  screenshot) want=("${build_pkgs[@]}" "${test_pkgs[@]}" "${screenshot_pkgs[@]}") ;;
  all) want=("${build_pkgs[@]}" "${test_pkgs[@]}" "${fuzz_pkgs[@]}" "${bench_pkgs[@]}"
             "${windows_pkgs[@]}" "${soak_pkgs[@]}" "${screenshot_pkgs[@]}" "${format_pkgs[@]}") ;;
  *) echo "usage: $0 build|test|format|fuzz|bench|windows|soak|screenshot|all" >&2; exit 2 ;;
esac

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
# Through env, since sudo drops DEBIAN_FRONTEND from the environment by default.
apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get)
"${apt[@]}" update -qq
"${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
