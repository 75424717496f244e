#!/usr/bin/env bash
# Installs the build tree into a prefix other than the configured one and
# starts the installed program from another working folder.
# Usage: check-install.sh <build folder> <source folder>
set -euo pipefail
build="$1"
source="$2"
. "$(dirname "$0")/start-installed.sh"

prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
  bin/framelift
  bin/framelift-extract
  share/man/man1/framelift-extract.1
  share/framelift/language/English.ini
  share/framelift/help/Introduction.htm
  share/applications/framelift.desktop
  share/metainfo/io.github.framelift.Framelift.metainfo.xml
  share/icons/hicolor/scalable/apps/framelift.svg
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/framelift.png")
done
for file in "${expected[@]}"; do
  [ -s "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
for size in 16 22 24 32 48 64 128 256; do
  actual="$(identify -format '%wx%h' "$prefix/share/icons/hicolor/${size}x${size}/apps/framelift.png")"
  [ "$actual" = "${size}x${size}" ] || { echo "the ${size}x${size} icon is $actual"; exit 1; }
done

# The installed metainfo, desktop entry and icon belong together.
appstreamcli validate-tree --no-net "$prefix" >/dev/null || appstreamcli validate-tree --no-net --explain "$prefix"

# The metainfo shows the pictures the screenshot script makes for the README.
grep -o '<image>[^<]*' "$source/desktop/io.github.framelift.Framelift.metainfo.xml" |
  sed 's|.*/||' | while read -r picture; do
    [ -s "$source/docs/$picture" ] || { echo "no screenshot docs/$picture"; exit 1; }
  done

# The screenshot tour is a build of its own for the documentation, never
# installed: the program holds none of its picture names (Qt keeps them as
# UTF-16 texts).
if { strings -a "$prefix/bin/framelift"; strings -a -el "$prefix/bin/framelift"; } | grep -q 'preview-full-screen\.png'; then
  echo "the installed program holds the screenshot tour"
  exit 1
fi

CheckHelp "$prefix/share/framelift/help" "$source/help"
CheckStarted "$prefix/bin/framelift"
CheckCommand "$prefix/bin/framelift-extract"
echo "installed into $prefix, started and found its files"
