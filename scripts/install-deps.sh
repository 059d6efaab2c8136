#!/usr/bin/env bash
# Installs, with apt, whatever the build and the tests need and the machine
# lacks. Does nothing when everything is there; needs root otherwise.
set -euo pipefail

packages=(
    cmake ninja-build g++ googletest      # native build and GoogleTest sources
    g++-mingw-w64-x86-64-posix            # the Windows cross compilers
    wine wine64 xvfb                      # runs the Windows tests, on their own X server
    pulseaudio                            # their own sound server: a mixer device under Wine
    nlohmann-json3-dev                    # JSON of the configuration files (header-only)
    fonts-wine                            # Wine's own fonts, copied into the prefixes
)
case "${1:-}" in
--fuzz) packages+=(clang-14 libclang-rt-14-dev) ;;
--screenshot) packages+=(imagemagick x11-utils fonts-dejavu-core) ;;
--package) packages+=(wixl) ;;                   # builds the Windows Installer package
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "Run as root, or install these packages first: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q "${missing[@]}"
