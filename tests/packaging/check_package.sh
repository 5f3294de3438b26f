#!/usr/bin/env bash
# Checks a Debian package of Tallo: given a .deb, or a build folder to package first. The
# package must hold both programs, their man pages, the manual, the desktop files and the
# copyright file, declare the Qt libraries it needs as dependencies, and pass lintian
# without errors.
# Exits 77 (skipped) where lintian or dpkg-shlibdeps is not installed.
set -euo pipefail
for tool in lintian dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

package=$1
if [ -d "$package" ]; then
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  if ! log=$(cpack -G DEB --config "$package/CPackConfig.cmake" -B "$scratch" 2>&1); then
    echo "$log"
    exit 1
  fi
  package=$(ls "$scratch"/tallo_*.deb)
fi

failures=0
check() {
  if "$@"; then echo "ok: $*"; else echo "FAILED: $*"; failures=$((failures + 1)); fi
}
contents=$(dpkg-deb --contents "$package" | awk '{print $6}')
for file in usr/bin/tallo usr/bin/tallo-calc usr/share/man/man1/tallo.1.gz \
    usr/share/man/man1/tallo-calc.1.gz usr/share/doc/tallo/manual.md \
    usr/share/doc/tallo/examples/tour.txt usr/share/doc/tallo/copyright \
    usr/share/applications/org.tallo.Tallo.desktop usr/share/metainfo/org.tallo.Tallo.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/org.tallo.Tallo.svg; do
  check grep -qx "./$file" <<<"$contents"
done
depends=$(dpkg-deb --field "$package" Depends)
for dependency in libqt6widgets6 libqt6svg6; do
  check grep -qw "$dependency" <<<"$depends"
done
check lintian --fail-on error "$package"
echo "$((13 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
