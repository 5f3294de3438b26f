# The Debian package, built by CPack's DEB generator (scripts/package.sh): everything that
# `cmake --install` installs, under /usr, with the runtime dependencies that dpkg-shlibdeps
# finds for the two programs.

# The package's changelog must speak of the version it is packaged with; scripts/package.sh
# configures with -Werror=dev, which makes this warning stop the packaging.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^tallo \\(${PROJECT_VERSION}\\) ")
  message(AUTHOR_WARNING "packaging/changelog has no entry for version ${PROJECT_VERSION} at its top")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tallo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tallo maintainers <maintainers@users.noreply.c-seed-4ebf9812.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "plain-text statistics worksheet")
# The lines of the long description as they show in the package's control file.
set(CPACK_PACKAGE_DESCRIPTION [=[
Tallo is a text editor whose own command, Do Calculation, turns the text
into a worksheet: expressions that end in an equals sign get their value,
and statistical statements over data sets in braces get their reports
written in after the equals sign. Nothing else in the text changes.

The statements cover descriptive statistics, t-tests and rank tests,
correlation, contingency tables, one-way and two-way designs, survival and
multivariate analysis. tallo-calc calculates worksheets from the command
line.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The editor's icons are SVG, drawn by the plugins of libqt6svg6 that Qt loads at run time,
# out of dpkg-shlibdeps' sight.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt6svg6)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
