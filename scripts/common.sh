# Shared by the scripts: install what is missing, then configure and build.
set -euo pipefail

TESSALY_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TESSALY_BUILD=${TESSALY_BUILD:-$TESSALY_ROOT/build}
TESSALY_SANITIZE_BUILD=${TESSALY_SANITIZE_BUILD:-$TESSALY_ROOT/build-sanitize}

TESSALY_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  libsqlite3-dev libpcre2-dev libjpeg-dev libpng-dev zlib1g-dev libzip-dev libpoppler-qt6-dev
  librsvg2-bin
  xvfb xauth
)
# What CI adds: clang with libFuzzer for the sanitizer and fuzz build, and the checkers of the
# package and of its desktop files.
TESSALY_CI_PACKAGES=(
  clang libclang-rt-dev
  desktop-file-utils appstream lintian
)

# install_packages [apt-get option ...] package ...: installs those of the packages that are missing.
install_packages() {
  local options=() missing=() argument
  for argument in "$@"; do
    case "$argument" in
      -*) options+=("$argument") ;;
      *) dpkg-query -W -f='${Status}' "$argument" 2>/dev/null | grep -q 'install ok installed' || missing+=("$argument") ;;
    esac
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${options[@]}" "${missing[@]}"
}

build_tessaly() {
  cmake -S "$TESSALY_ROOT" -B "$TESSALY_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$TESSALY_BUILD" --parallel "$(nproc)"
}
