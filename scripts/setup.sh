#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Idempotent.
set -euo pipefail

pkgs=(
  cmake ninja-build g++ googletest libgtest-dev clang-format valgrind
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 fonts-wine xvfb xauth x11-utils xdotool imagemagick librsvg2-bin
  fonts-wqy-microhei locales
  cups-daemon cups-client
  msitools wixl faketime osslsigncode openssl python3
  wine32:i386
)

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
# Wine's 32-bit half runs the 32-bit program: Debian ships it for the i386 architecture.
if [ "${#missing[@]}" -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  # A mirror caught mid-sync fails one index or another: go on with the lists it did give.
  $SUDO apt-get update -qq || echo "setup: some package lists could not be refreshed; going on" >&2
  if ! DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
    # Where the security index of i386 lags behind amd64's, the two halves of a library cannot
    # match: both are taken from the release itself instead.
    echo "setup: retrying with the release's own versions for both architectures" >&2
    # Both halves of Wine named, and nothing removed: a resolver left to itself would drop
    # the 64-bit loader to fit the 32-bit one.
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends -t bookworm \
      --allow-downgrades --no-remove "${missing[@]}" wine64 libwine libwine:i386 \
      libgstreamer-plugins-base1.0-0:i386 >/dev/null
  fi
fi

# The Wine tests run in code page 936 (zh_CN); the English screenshots and tests in en_US, the
# Traditional Chinese ones in zh_TW (code page 950).
for loc in zh_CN en_US zh_TW; do
  if ! locale -a 2>/dev/null | grep -qi "^$loc.utf8$"; then
    $SUDO sed -i "s/^# *$loc.UTF-8 UTF-8/$loc.UTF-8 UTF-8/" /etc/locale.gen
    grep -q "^$loc.UTF-8 UTF-8" /etc/locale.gen || echo "$loc.UTF-8 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
    need_locales=1
  fi
done
if [ "${need_locales:-0}" = 1 ]; then
  $SUDO locale-gen >/dev/null
fi
echo "setup: ok"
