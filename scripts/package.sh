#!/usr/bin/env bash
# Builds the Debian package of Tallo in build-package/: the editor and tallo-calc compiled with
# Debian's hardening flags, packaged by CPack with the runtime dependencies that dpkg-shlibdeps
# finds, then checked by lintian. Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."

# dpkg-dev and file find the dependencies, lintian checks the result.
scripts/install-deps.sh dpkg-dev file lintian

# The flags Debian builds its own packages with (CMake reads CXXFLAGS and LDFLAGS).
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS

cmake -S . -B build-package -G Ninja -Werror=dev -DCMAKE_BUILD_TYPE=None -DTALLO_TESTS=OFF \
  -DTALLO_WERROR=ON
cmake --build build-package --target tallo tallo-calc compressed_docs
[ -x build-package/src/shell/tallo ] || { echo "package.sh: the editor was not built (Qt 6 not found)" >&2; exit 1; }
rm -f build-package/tallo_*.deb
(cd build-package && cpack -G DEB)

package=$(ls build-package/tallo_*.deb)
tests/packaging/check_package.sh "$package"
echo "$package"
