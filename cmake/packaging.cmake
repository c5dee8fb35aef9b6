# `make deb`: a Debian package of what `cmake --install` installs: the programs
# in /usr/bin, the exporter's companion in /usr/libexec/tabulon, the demo's logo
# in /usr/share/tabulon and the manual pages. Tests, benchmarks and fuzz harnesses
# have no install rules, so they never reach it. The package's build tree is
# configured with CMAKE_INSTALL_PREFIX=/usr, so the companion's fallback folder
# compiled into tabulon-export is the one the package installs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tabulon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "print preview and PDF export of clipboard print jobs")
set(CPACK_PACKAGE_DESCRIPTION "A producing program puts a small page-description text on the clipboard and
starts tabulon, which shows it in a preview window, prints it through the
printer dialog or writes it as PDF. tabulon-export writes the same PDF, page
pictures or a print without a window; tabulon-demo shows a demo job.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tabulon maintainers <maintainers@users.noreply.c-seed-e7e4dd74.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The library packages come from dpkg-shlibdeps on the installed programs. The
# fonts the jobs name and the viewer F6 opens are not libraries: recommended.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, xdg-utils")

include(CPack)
