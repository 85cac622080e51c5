# `make package`: a Debian package of exactly what `cmake --install` lays out, under /usr.
# `make dist`: the source tarball.

set(CPACK_PACKAGE_NAME vexilo)
set(CPACK_PACKAGE_VENDOR Vexilo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Vexilo <vexilo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compose calendar sheets out of picture glyphs")
# Lines of at most 79 characters, as Debian shows them; CPack indents them.
set(CPACK_PACKAGE_DESCRIPTION
    "Vexilo lays out a calendar sheet for a whole year or for one month entirely\n\
out of pictures: one image per digit and one per weekday name, with holidays\n\
and the weekend names in red. The sheet is saved as BMP or PNG pictures or as\n\
a PDF page, or printed. The holidays are the user's own, kept per year, edited\n\
in a month grid and imported from iCalendar files. Three glyph sets come with\n\
the program and more are drawn from any installed font. The command-line\n\
programs vexilo-render and vexilo-glyphs draw sheets and glyph sets for\n\
scripts.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Installed as into /usr under a staging root, so what names its folder (the manual pages)
# names /usr.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # vexilo_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
# Depends comes from the libraries the programs link (dpkg-shlibdeps), never by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The bundled glyph sets are drawn with these fonts at build time; the font maker's list and
# the windows' design font want them at run time too.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, qt6-translations-l10n")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME vexilo-${PROJECT_VERSION})
# Everything but what a build or an editor leaves in the tree.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_SOURCE_IGNORE_FILES
    "/\\.git" "/\\.cache/" "/build/" "/build-[^/]*/" "\\.swp$" "\\.user$"
    "/compile_commands\\.json$")

include(CPack)
