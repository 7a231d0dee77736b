#!/usr/bin/env bash
# The one list of Debian packages Quillmark needs to build, run and test, and the
# install step that scripts/run and scripts/test share. Installs only what is
# missing, so a second run costs a dpkg query and nothing else.
set -euo pipefail

QUILLMARK_PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev libgl-dev            # Qt 6 Widgets, Test
  libc-ares-dev                     # asynchronous name lookup
  libssl-dev ca-certificates        # TLS for https (opt-in) and the system's trusted roots
  openssl                           # makes the test certificates again (tests/support/tls)
  libgtest-dev libgmock-dev googletest
  libbenchmark-dev
  nginx                             # the benchmarks' loopback web server beside curl and wget (they skip or fall back without it)
  fonts-ipafont-mincho fonts-ipafont-gothic   # glyphs for the Japanese interface
  xauth xvfb                        # running the window without a display
  python3                           # loopback test servers, the list generator's tests
  clang libclang-rt-14-dev          # fuzz targets (built on request)
  clang-format                      # the tree's format check
  chromium                          # a written report read by a real browser (the test skips without it)
  desktop-file-utils                # desktop-file-validate checks the menu entry
  man-db groff-base                 # man -l renders the manual pages in their test
  dpkg-dev file                     # CPack's Debian package: dpkg-shlibdeps for Depends, file to find the programs
  lintian                           # the Debian package's check (scripts/package, and CI's install test)
)

quillmark_install_deps() {
  local missing=()
  local pkg
  for pkg in "${QUILLMARK_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  echo "Installing missing packages: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo=(sudo)
    else
      echo "These packages are missing and this user cannot install them (no root, no sudo): ${missing[*]}" >&2
      return 1
    fi
  fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
