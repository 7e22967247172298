# `cpack -G DEB` in the build folder makes linomark_<version>-1_<arch>.deb:
# the upstream version and the first Debian revision of it.
# dpkg-shlibdeps computes the library dependencies from the binary; the rest
# are what the program opens at run time without linking to it.
set(CPACK_PACKAGE_NAME linomark)
set(CPACK_PACKAGE_VENDOR "Linomark contributors")
set(CPACK_PACKAGE_CONTACT "Linomark contributors <maintainers@linomark.example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "${LINOMARK_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "prints sheets of Code 39 barcode labels for tape-library cartridges")
set(CPACK_PACKAGE_DESCRIPTION
    "Linomark prints sheets of thirty Code 39 barcode labels, ten rows by three
columns, for the cartridges of tape libraries, on the system's default CUPS
printer. Each column counts up from a leading value typed by the user, and a
preview shows the label being worked on.
.
It also makes LTO Ultrium cartridge labels on standard label stock, prints
an alignment sheet whose offsets it keeps for each printer, saves any sheet
as PDF, and has a command line that needs no display.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The values are written to CPackConfig.cmake as they are: a packager's
# address may hold a quote or a backslash.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Liberation Sans is the face "Arial" resolves to, so printed text keeps its
# width and centring; DejaVu Sans draws the link labels; xdg-open opens the
# web link; qt6-wayland lets the window open in a Wayland session without X;
# a local scheduler is the usual way to a default printer.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core, xdg-utils, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups")

# What Debian asks of every package's documentation folder: the copyright
# and licence in its machine-readable format, and the packaging changelog,
# compressed.
set(LINOMARK_DEB_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
set(debian_docs ${CMAKE_BINARY_DIR}/debian-docs)
configure_file(data/copyright.in ${debian_docs}/copyright @ONLY)
configure_file(data/changelog.Debian.in ${debian_docs}/changelog.Debian @ONLY)
gzip_at_build(${debian_docs}/changelog.Debian changelog)
install(FILES ${debian_docs}/copyright ${changelog} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/linomark)

include(CPack)
