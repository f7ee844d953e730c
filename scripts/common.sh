# Shared by scripts/run and scripts/test: install what is missing, then configure and build.
set -euo pipefail

TESSALY_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TESSALY_BUILD=${TESSALY_BUILD:-$TESSALY_ROOT/build}

TESSALY_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libsqlite3-dev libpcre2-dev libjpeg-dev libpng-dev zlib1g-dev
  librsvg2-bin
  xvfb xauth
)

install_packages() {
  local missing=()
  for package in "${TESSALY_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

build_tessaly() {
  cmake -S "$TESSALY_ROOT" -B "$TESSALY_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$TESSALY_BUILD" --parallel "$(nproc)"
}
