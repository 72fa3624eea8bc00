#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail
packages=(
  cmake make g++ pkg-config clang-format
  qt6-base-dev libgl-dev
  libzip-dev libdeflate-dev libisal-dev zlib1g-dev
  libsdl2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  zip unzip libarchive-tools
  python3-pil
  xvfb xauth libxcb1-dev
  qt6-wayland xwayland
  dpkg-dev file desktop-file-utils appstream xdotool
  fonts-dejavu-core fonts-dejavu-extra
)
[ "${1:-}" = "--fuzz" ] && packages+=(clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
