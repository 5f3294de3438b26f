# The Debian package, built by CPack's DEB generator (scripts/package.sh): everything that
# `cmake --install` installs, under /usr, with the runtime dependencies that dpkg-shlibdeps
# finds for the two programs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tallo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tallo maintainers <maintainers@users.noreply.c-seed-4ebf9812.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "plain-text statistics worksheet")
set(CPACK_PACKAGE_DESCRIPTION
    "Tallo is a text editor whose own command, Do Calculation, turns the text into a \
worksheet: expressions that end in an equals sign get their value, and statistical \
statements over data sets in braces get their reports written in after the equals sign. \
Nothing else in the text changes.

The statements cover descriptive statistics, t-tests and rank tests, correlation, \
contingency tables, one-way and two-way designs, survival and multivariate analysis. \
tallo-calc calculates worksheets from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
