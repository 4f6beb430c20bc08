#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine; does nothing when all is there.
# Both lanes' cross compilers and Wine builds are installed (wine32 installs even on a machine whose
# kernel cannot run 32-bit programs; the x86 lane's tests are then skipped, its build still runs).
# xdotool: the run command rests the pointer on words on its own Xvfb display with it.
set -euo pipefail
pkgs=(wine wine32:i386 wine64 g++-mingw-w64-i686 g++-mingw-w64-x86-64 xvfb xauth cmake ninja-build googletest
      libz-mingw-w64-dev mingw-w64-tools python3 imagemagick locales
      fonts-ipafont-gothic fonts-ipafont-mincho fonts-unfonts-core fonts-arphic-uming xdotool)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "deps: installing ${missing[*]}"
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
$SUDO dpkg --add-architecture i386
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
