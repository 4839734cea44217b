#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when run as root;
# otherwise names the command to run. With --web, then the page's Node
# packages, from its lock file. Quiet when everything is there.
set -euo pipefail

packages=(
  cmake make g++ pkg-config python3
  libgtest-dev libgmock-dev libbenchmark-dev time
  libcli11-dev nlohmann-json3-dev
  qt6-base-dev fonts-noto-cjk
)
# The Windows programs: the mingw-w64 cross compiler, GoogleTest's sources to
# build the Windows tests with, and Wine on a virtual display to run them
# (with the fonts and the X rendering it draws its text with).
packages+=(
  g++-mingw-w64-x86-64 googletest
  wine wine64 fonts-wine fonts-liberation libxrender1 xvfb xauth
)
# The fuzz targets: clang with libFuzzer and the sanitizer runtimes.
packages+=(clang-14 libclang-rt-14-dev)
# Installing and packaging: the manual page made from --help, the icon's PNG
# renders, dpkg-shlibdeps for the .deb; and the checks of what is installed.
packages+=(
  help2man librsvg2-bin gzip dpkg-dev
  file man-db lintian desktop-file-utils appstream unzip
)
# The page: Emscripten for the core in WebAssembly, Chromium for its tests
# (driven by playwright-core, which downloads no browser of its own). Node
# and npm come with the machine.
packages+=(emscripten chromium)

# The page's Node packages (Vite, Vitest, TypeScript, ...), exactly as the
# lock file has them, whenever they are missing or older than the lock.
install_node_packages() {
  [[ "${1:-}" == --web ]] || return 0
  local web
  web=$(cd "$(dirname "$0")/../web" && pwd)
  if [[ ! -f "$web/node_modules/.package-lock.json" || "$web/package-lock.json" -nt "$web/node_modules/.package-lock.json" ]]; then
    command -v npm >/dev/null || { echo "npm is missing: install Node.js 20 and npm" >&2; exit 1; }
    echo "Installing the page's Node packages (npm ci)"
    (cd "$web" && npm ci --no-audit --no-fund --loglevel=error)
  fi
}

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if [[ ${#missing[@]} -eq 0 ]]; then
  install_node_packages "$@"
  exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  echo "Missing Debian packages. Install them with:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# With the recommended packages: the builds and tests were proven with them
# (Wine in particular recommends parts of itself).
apt-get update -qq
apt-get install -y -qq "${missing[@]}"
install_node_packages "$@"
