# The Debian package, from the same install rules as a plain install:
#   cmake --build build --target package   ->   build/tinkla_<version>_<arch>.deb
# Its Depends come from the libraries the programs link (dpkg-shlibdeps, from dpkg-dev).
set(_pkg ${CMAKE_CURRENT_LIST_DIR}/package)

# What Debian expects beside every package's files: the licence and the change log.
set(_changelog ${CMAKE_CURRENT_BINARY_DIR}/package/changelog.gz)
tinkla_gzip(${_pkg}/changelog ${_changelog})
add_custom_target(tinkla_changelog ALL DEPENDS ${_changelog})
install(FILES ${_pkg}/copyright ${_changelog} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/tinkla)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tinkla)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tinkla developers")
set(CPACK_PACKAGE_CONTACT "Tinkla developers <tinkla@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "melody editor and music doorbell programmer")
# The synopsis above is the first line; this is the extended description under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tinkla edits short monophonic melodies drawn on a music staff, keeps them in
melody sets (.fml) and melody files (.mel), imports and exports RTTTL and
MIDI, and plays them on the sound card or the PC speaker.
.
It programs a music doorbell whose 256-byte note memory sits on a two-wire
bus driven through the parallel port (Linux ppdev or direct port I/O), or a
simulated doorbell that needs no hardware. The command-line program
tinkla-cli does the same from scripts.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/tinkla/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# A plain strip keeps the compiler's .comment and .note sections, which no one reads.
set(CPACK_PRE_BUILD_SCRIPTS ${_pkg}/strip-notes.cmake)
# Files 0644 and programs 0755 whatever the umask of the machine that builds the package.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
