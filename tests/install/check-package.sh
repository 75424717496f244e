#!/usr/bin/env bash
# Packs the build tree as a Debian package, checks its control data and
# contents, unpacks it into a fresh root and starts the program from there.
# With FRAMELIFT_TEST_DEB_INSTALL=1, run as root, it also installs the
# package into this machine with dpkg and starts /usr/bin/framelift.
# Usage: check-package.sh <build folder> <source folder>
set -euo pipefail
build="$1"
source="$2"
. "$(dirname "$0")/start-installed.sh"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log") || { cat "$work/cpack.log"; exit 1; }
deb="$(ls "$work"/out/framelift_*.deb)"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = framelift ] || { echo "package name $(field Package)"; exit 1; }
[ "$(field Version)" = 1.0.0 ] || { echo "version $(field Version)"; exit 1; }
depends="$(field Depends)"
echo "Depends: $depends"
for library in libavformat libavcodec libavfilter libmpv libturbojpeg libpng libtiff libgif libqt6widgets; do
  grep -q "$library" <<<"$depends" || { echo "no dependency on $library"; exit 1; }
done
# Runtime libraries only, each one a package this machine has: no development
# packages, no build tools.
for name in $(tr ',|' '\n\n' <<<"$depends" | sed 's/(.*//; s/ //g'); do
  case "$name" in
    *-dev | cmake | ninja-build | gcc | g++ | pkg-config | ffmpeg) echo "build-time dependency $name"; exit 1 ;;
  esac
  dpkg-query -W "$name" >/dev/null 2>&1 || { echo "dependency $name is no installed package"; exit 1; }
done

contents="$(dpkg-deb --contents "$deb")"
for file in ./usr/bin/framelift ./usr/bin/framelift-extract ./usr/share/man/man1/framelift-extract.1 \
  ./usr/share/framelift/language/English.ini \
  ./usr/share/framelift/help/Introduction.htm ./usr/share/applications/framelift.desktop \
  ./usr/share/metainfo/io.github.framelift.Framelift.metainfo.xml \
  ./usr/share/icons/hicolor/scalable/apps/framelift.svg \
  ./usr/share/icons/hicolor/256x256/apps/framelift.png; do
  grep -q " $file\$" <<<"$contents" || { echo "not in the package: $file"; exit 1; }
done
if grep -Eq '/(include|lib/cmake|lib/pkgconfig)/|\.a$' <<<"$contents"; then
  echo "development files in the package"
  exit 1
fi

dpkg-deb -x "$deb" "$work/root"
CheckHelp "$work/root/usr/share/framelift/help" "$source/help"
CheckStarted "$work/root/usr/bin/framelift"
CheckCommand "$work/root/usr/bin/framelift-extract"
echo "unpacked into a fresh root, started and found its files"

if [ "${FRAMELIFT_TEST_DEB_INSTALL:-}" != 1 ] || [ "$(id -u)" -ne 0 ]; then
  echo "skipped: installing the package into this machine needs FRAMELIFT_TEST_DEB_INSTALL=1 and root"
  exit 0
fi
dpkg -i "$deb"
CheckStarted /usr/bin/framelift
CheckCommand /usr/bin/framelift-extract
dpkg -r framelift >/dev/null
echo "installed with dpkg, started, found its files and removed again"
