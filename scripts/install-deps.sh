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
  # The application (Qt 6 Widgets). Qt6's CMake files of Gui need OpenGL
  # (libgl-dev); Charts needs the CMake files of Qt6OpenGL, which Debian 12
  # ships in libqt6opengl6-dev, only a recommendation of qt6-base-dev.
  qt6-base-dev
  qt6-svg-dev
  qt6-charts-dev
  # The intro sound of the information box (QSoundEffect).
  qt6-multimedia-dev
  libqt6opengl6-dev
  libgl-dev
  # German texts of Qt's own dialogs (qtbase_de.qm).
  qt6-translations-l10n
  # Fixed fonts, so painted and printed output is the same on every machine.
  fonts-liberation2
  fonts-liberation
  # A display server for the application tests that need one, and
  # pdftotext/pdftoppm to check printed reports.
  xvfb
  xauth
  poppler-utils
  # clang with libFuzzer and the sanitizer runtimes, for the harnesses in fuzz/.
  clang
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installiere: ${missing[*]}" >&2
  # As root apt-get runs directly (containers often have no sudo); otherwise
  # through sudo, which must then be present.
  SUDO=()
  if [[ $(id -u) -ne 0 ]]; then
    if ! command -v sudo >/dev/null; then
      echo "Nicht root und kein sudo: bitte als root installieren: ${missing[*]}" >&2
      exit 1
    fi
    SUDO=(sudo)
  fi
  "${SUDO[@]}" apt-get update -qq
  "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
