#!/usr/bin/env bash
# The Debian packages Quillmark needs, in two lists, and the install step that scripts/run,
# scripts/test and scripts/package share. Installs only what is missing, so a second run costs
# a dpkg query and nothing else.
set -euo pipefail

# What building and running the two programs needs (scripts/run).
QUILLMARK_BUILD_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  git                               # the package version counts the commits
  qt6-base-dev libgl-dev            # Qt 6 Widgets
  qt6-translations-l10n             # Qt's own Japanese texts (file dialogs, message box buttons)
  libc-ares-dev                     # asynchronous name lookup
  libcurl4-openssl-dev              # the day's fetcher: sites side by side, kept-alive connections
  libssl-dev ca-certificates        # TLS for https and the system's trusted roots
  libsqlite3-dev                    # the run history (history.sqlite3)
  libexpat1-dev                     # reading the sites' feeds (RSS, Atom)
  libgumbo-dev                      # the HTML5 parser of the article reading
  nlohmann-json3-dev                # reading the pages' structured data (JSON-LD)
  fonts-ipafont-mincho fonts-ipafont-gothic   # glyphs for the Japanese interface
  xauth xvfb                        # running the window without a display (xvfb-run)
)

# What only the tests, the benchmarks and the Debian package need (scripts/test, scripts/package).
QUILLMARK_TEST_PACKAGES=(
  openssl                           # makes the test certificates again (tests/support/tls)
  libgtest-dev libgmock-dev googletest
  libbenchmark-dev
  python3                           # loopback test servers, the list generator's tests
  clang libclang-rt-14-dev          # fuzz targets (built on request)
  clang-format                      # the tree's format check
  chromium                          # a written report read by a real browser (the test skips without it)
  desktop-file-utils                # desktop-file-validate checks the menu entry
  man-db groff-base                 # man -l renders the manual pages in their test
  dpkg-dev file                     # CPack's Debian package: dpkg-shlibdeps for Depends, file to find the programs
  lintian                           # the Debian package's check (scripts/package, and CI's install test)
)

# Installs the missing packages of the lists named ("build", "test"); none named means both.
# Without root or sudo it only names what is missing and the command that installs it, and
# fails then.
quillmark_install_deps() {
  local lists=("$@")
  [ ${#lists[@]} -eq 0 ] && lists=(build test)
  local wanted=() list
  for list in "${lists[@]}"; do
    case "$list" in
      build) wanted+=("${QUILLMARK_BUILD_PACKAGES[@]}") ;;
      test) wanted+=("${QUILLMARK_TEST_PACKAGES[@]}") ;;
      *) echo "quillmark_install_deps: unknown list $list" >&2; return 2 ;;
    esac
  done

  local missing=() pkg
  for pkg in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo=(sudo)
    else
      echo "Missing packages: ${missing[*]}" >&2
      echo "Install them as root with:  apt-get install ${missing[*]}" >&2
      return 1
    fi
  fi
  echo "Installing missing packages: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
