#!/bin/sh
# Downloads and unpacks the lexical sources of the built-in word lists into one
# directory outside the repository (they are large and are never committed).
#
#   tools/fetch-sources.sh [DEST]
#
# DEST defaults to $QUILLMARK_LIST_SOURCES, else ~/.cache/quillmark-list-sources.
# Needs apt-get and dpkg-deb (Debian 12; run "apt-get update" first on a fresh
# machine) and npm. The versions are pinned so that tools/generate_lists.py
# reproduces the committed files byte for byte; when Debian no longer serves a
# pinned version, apt-get says so and the pin must be moved deliberately.
set -eu

DEST=${1:-${QUILLMARK_LIST_SOURCES:-$HOME/.cache/quillmark-list-sources}}

DEBIAN_PACKAGES="scowl=2020.12.07-2 wordnet-base=1:3.0-37 festlex-poslex=2.4-1"
NPM_PACKAGES="stopword@3.1.5 html-tag-names@2.1.0 html-element-attributes@3.5.0
character-entities-legacy@3.0.0 globals@17.15.0 reserved-words@0.1.2 simple-icons@16.37.0"

rm -rf "$DEST/debs" "$DEST/root"
mkdir -p "$DEST/debs" "$DEST/root" "$DEST/npm-packs" "$DEST/npm"
DEST=$(cd "$DEST" && pwd)

# apt-get download writes into the current directory; the _apt user may not be
# able to, which only costs a warning.
(cd "$DEST/debs" && apt-get download $DEBIAN_PACKAGES)
: > "$DEST/versions.txt"
for deb in "$DEST"/debs/*.deb; do
  dpkg-deb -x "$deb" "$DEST/root"
  echo "deb $(dpkg-deb -f "$deb" Package) $(dpkg-deb -f "$deb" Version)" >> "$DEST/versions.txt"
done

for pinned in $NPM_PACKAGES; do
  name=${pinned%@*}
  tarball=$(cd "$DEST/npm-packs" && npm pack --silent "$pinned" | tail -n 1)
  rm -rf "$DEST/npm/$name"
  mkdir -p "$DEST/npm/$name"
  tar -xzf "$DEST/npm-packs/$tarball" -C "$DEST/npm/$name" --warning=no-unknown-keyword
  echo "npm $name ${pinned##*@}" >> "$DEST/versions.txt"
done

sort -o "$DEST/versions.txt" "$DEST/versions.txt"
echo "Sources are in $DEST:"
cat "$DEST/versions.txt"
