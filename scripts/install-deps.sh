#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need.
# Quiet and quick when everything is there; refreshes the package lists only
# when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-tools-dev qt6-l10n-tools
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libcli11-dev nlohmann-json3-dev libtag1-dev libexiv2-dev libicu-dev libpcre2-dev
  eyed3 id3v2 python3-mutagen
  flac vorbis-tools opus-tools ffmpeg imagemagick exiv2
  fonts-dejavu-core
  mount exfat-fuse exfatprogs ntfs-3g btrfs-progs
  mmv time zsh fish
  dpkg-dev desktop-file-utils appstream man-db groff-base lintian
  clang-format clang-tidy
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
