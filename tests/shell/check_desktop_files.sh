#!/usr/bin/env bash
# Installs the build into a scratch folder and checks what the desktop needs: both programs,
# a valid .desktop entry for text files, the icon (well-formed SVG) and valid AppStream data.
set -euo pipefail
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
id=org.tallo.Tallo
failures=0
check() {
  if "$@"; then echo "ok: $*"; else echo "FAILED: $*"; failures=$((failures + 1)); fi
}
check test -x "$prefix/bin/tallo"
check test -x "$prefix/bin/tallo-calc"
check desktop-file-validate "$prefix/share/applications/$id.desktop"
check grep -qx 'MimeType=text/plain;' "$prefix/share/applications/$id.desktop"
check grep -qx "Icon=$id" "$prefix/share/applications/$id.desktop"
check xmllint --noout "$prefix/share/icons/hicolor/scalable/apps/$id.svg"
check appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
check cmp -s "$source/src/shell/icons/tallo.svg" "$prefix/share/icons/hicolor/scalable/apps/$id.svg"
echo "$((8 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
