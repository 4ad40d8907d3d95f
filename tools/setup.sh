#!/usr/bin/env bash
# Installs what building, starting and testing Tarvola need on Debian 12, skipping what is there.
set -euo pipefail

packages=(cmake ninja-build g++ make googletest g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
          wine wine32:i386 wine64 xvfb xauth x11-utils imagemagick sox libfftw3-dev
          libjpeg62-turbo-dev nasm dpkg-dev)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
    need_update=1
fi

# The Windows builds cross-compile FFTW and libjpeg-turbo from Debian's source packages (tools/fftw.sh,
# tools/libjpeg.sh): apt needs source lists.
if ! apt-cache showsrc fftw3 2>/dev/null | grep -q '^Package: fftw3'; then
    as_root tee /etc/apt/sources.list.d/tarvola-sources.sources >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    need_update=1
fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
    echo "setup: installing ${missing[*]:-(package lists)}"
    as_root apt-get update -qq
    if [ ${#missing[@]} -gt 0 ]; then
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
    fi
fi
