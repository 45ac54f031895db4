# Installing and packaging: `cmake --install` lays the program out as a
# Debian program does (prefix /usr for the package), and CPack makes the
# .deb from the same rules. scripts/package builds it.
include(GNUInstallDirs)

set(FV_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/ferravane")

# The programs. The data files are found beside the executable (a build
# folder) or in ../share/ferravane relative to it (here).
install(TARGETS ferravane make_rates RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
# The desktop module, found in ../<library folder>/ferravane relative to the
# program (the folder is built into it): a private folder, so no ldconfig. A
# module is read, not run: no execute bits.
install(TARGETS ferravane_desktop LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}/ferravane"
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${FV_DATA_FILES} DESTINATION "${FV_INSTALL_DATADIR}")

# Manual pages, with the version and the installed paths filled in, and
# compressed as Debian wants them (no time stamp, so rebuilds match).
set(FV_MAN_PAGES ferravane.1 ferravane-make-rates.1)
set(FV_MAN_PAGES_BUILT)
foreach(page IN LISTS FV_MAN_PAGES)
  set(VERSION "${PROJECT_VERSION}")
  set(DOCDIR "${CMAKE_INSTALL_FULL_DOCDIR}")
  set(DATADIR "${CMAKE_INSTALL_FULL_DATADIR}/ferravane")
  set(LIBDIR "${CMAKE_INSTALL_FULL_LIBDIR}")
  configure_file("${CMAKE_SOURCE_DIR}/man/${page}" "${CMAKE_BINARY_DIR}/man/${page}" @ONLY)
  add_custom_command(OUTPUT "${CMAKE_BINARY_DIR}/man/${page}.gz"
    COMMAND gzip -9nf -k "${CMAKE_BINARY_DIR}/man/${page}"
    DEPENDS "${CMAKE_BINARY_DIR}/man/${page}"
    COMMENT "Compressing the manual page ${page}")
  list(APPEND FV_MAN_PAGES_BUILT "${CMAKE_BINARY_DIR}/man/${page}.gz")
endforeach()
add_custom_target(man_pages ALL DEPENDS ${FV_MAN_PAGES_BUILT})
install(FILES ${FV_MAN_PAGES_BUILT} DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")

# Documents: the user's guide, the copyright and the change log.
configure_file("${CMAKE_SOURCE_DIR}/packaging/changelog.in" "${CMAKE_BINARY_DIR}/doc/changelog" @ONLY)
add_custom_command(OUTPUT "${CMAKE_BINARY_DIR}/doc/changelog.gz"
  COMMAND gzip -9nf -k "${CMAKE_BINARY_DIR}/doc/changelog"
  DEPENDS "${CMAKE_BINARY_DIR}/doc/changelog"
  COMMENT "Compressing the change log")
add_custom_target(doc_changelog ALL DEPENDS "${CMAKE_BINARY_DIR}/doc/changelog.gz")
install(FILES "${CMAKE_SOURCE_DIR}/docs/guide.md" "${CMAKE_SOURCE_DIR}/packaging/copyright"
              "${CMAKE_BINARY_DIR}/doc/changelog.gz"
        DESTINATION "${CMAKE_INSTALL_DOCDIR}")

# The desktop entry and the icon in their XDG places. The spreadsheet MIME
# types themselves come from shared-mime-info, which knows every extension the
# program reads.
install(FILES "${CMAKE_SOURCE_DIR}/packaging/ferravane.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${CMAKE_SOURCE_DIR}/packaging/icons/ferravane.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
foreach(size 16 24 32 48 64 128 256)
  install(FILES "${CMAKE_SOURCE_DIR}/packaging/icons/ferravane-${size}.png"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
          RENAME ferravane.png)
endforeach()

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ferravane)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Ferravane maintainers")
set(CPACK_PACKAGE_CONTACT "Ferravane maintainers <maintainers@users.noreply.c-seed-e2b3e8c3.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "budget cost of federal direct loans and loan guarantees")
set(CPACK_PACKAGE_DESCRIPTION
    "Ferravane computes the budget cost (the subsidy) of federal credit programs
from the estimated cash flows a budget analyst keeps in a named spreadsheet
range (Lotus WK1, WK3, WK4 and 123; Excel XLS), discounted on Treasury yield
curves. It reports each cohort's subsidy rate, its components and the single
effective rate in seven displays, as text and spreadsheet files, from a
desktop program or in batch mode.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libgsf, libzip and libxlsxwriter are opened by name when a file needs them, so
# dpkg-shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgsf-1-114, libzip4, libxlsxwriter4")
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
