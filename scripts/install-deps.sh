#!/usr/bin/env bash
# Installs the Debian packages the project needs, but only those that are
# missing; runs 'apt-get update' only when something must be installed.
set -euo pipefail

PACKAGES=(
  build-essential
  cmake
  ccache
  libgtest-dev
  googletest
  libbenchmark-dev
  libcli11-dev
  libpugixml-dev
  libxlsxwriter-dev
  pkg-config
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installiere: ${missing[*]}" >&2
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO=sudo; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
