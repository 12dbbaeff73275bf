# Installation and packaging: the two programs, the desktop entry, icons and file types, the
# manual and the list of changes, the man page and bash completion of rvk-cli, and the Debian
# package (cpack -G DEB, or scripts/make-deb.sh). Also the tests of the installed tree.
include(GNUInstallDirs)

add_subdirectory(docs)

# Icons in the standard sizes, rendered from the one SVG.
set(rvk_icon_svg ${CMAKE_SOURCE_DIR}/packaging/rvk.svg)
set(rvk_icon_sizes 16 22 24 32 48 64 128 256 512)
set(rvk_icon_files)
foreach(size ${rvk_icon_sizes})
  list(APPEND rvk_icon_files ${CMAKE_BINARY_DIR}/packaging/icons/${size}x${size}/rvk.png)
endforeach()
string(REPLACE ";" "," rvk_icon_size_list "${rvk_icon_sizes}")
add_custom_command(
  OUTPUT ${rvk_icon_files}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          $<TARGET_FILE:rvkdoc> icons --sizes ${rvk_icon_size_list} --out ${CMAKE_BINARY_DIR}/packaging/icons ${rvk_icon_svg}
  DEPENDS rvkdoc ${rvk_icon_svg}
  COMMENT "Rendering the icons"
  VERBATIM)

# The man page of rvk-cli, from its --help text.
set(rvk_manpage ${CMAKE_BINARY_DIR}/packaging/rvk-cli.1.gz)
find_program(HELP2MAN help2man)
if(HELP2MAN)
  add_custom_command(
    OUTPUT ${rvk_manpage}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            ${HELP2MAN} --no-info --no-discard-stderr --section=1
            --version-string=${PROJECT_VERSION}
            "--name=graphical genotypes, statistics and exports of RVK data sets, without a window"
            --include=${CMAKE_SOURCE_DIR}/packaging/rvk-cli.h2m
            --output=${CMAKE_BINARY_DIR}/packaging/rvk-cli.1 $<TARGET_FILE:rvk-cli>
    COMMAND gzip -9 -n -f ${CMAKE_BINARY_DIR}/packaging/rvk-cli.1
    DEPENDS rvk-cli ${CMAKE_SOURCE_DIR}/packaging/rvk-cli.h2m
    COMMENT "Writing the man page of rvk-cli"
    VERBATIM)
else()
  message(WARNING "help2man not found: rvk-cli gets no man page (install the Debian package help2man)")
  set(rvk_manpage)
endif()
add_custom_target(rvk-packaging ALL DEPENDS ${rvk_icon_files} ${rvk_manpage})

# The installed tree. Settings are never written here: an installed program (its data folder
# share/rvk/ beside bin/) keeps them in the user's configuration folder.
set(RVK_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/rvk)
install(TARGETS rvk rvk-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${RVK_MANUAL_PDF} ${RVK_WHATSNEW} DESTINATION ${RVK_INSTALL_DATADIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/rvk.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/rvk-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME rvk.xml)
install(FILES ${rvk_icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${rvk_icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes
        RENAME application-x-rvk-data.svg)
foreach(size ${rvk_icon_sizes})
  install(FILES ${CMAKE_BINARY_DIR}/packaging/icons/${size}x${size}/rvk.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
if(rvk_manpage)
  install(FILES ${rvk_manpage} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/packaging/rvk.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/rvk-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME rvk-cli)
# The example data set, for the walks through the manual.
file(GLOB rvk_examples ${CMAKE_SOURCE_DIR}/examples/listeria.* ${CMAKE_SOURCE_DIR}/examples/README.md)
install(FILES ${rvk_examples} DESTINATION ${RVK_INSTALL_DATADIR}/examples)

# The Debian package. Its dependencies come from the binaries (dpkg-shlibdeps, of dpkg-dev).
set(CPACK_PACKAGE_NAME rvk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "RVK")
# The maintainer of a package built elsewhere: cmake -DRVK_PACKAGE_CONTACT="Name <mail>".
set(RVK_PACKAGE_CONTACT "RVK maintainers <rvk@localhost>" CACHE STRING "Maintainer named in the Debian package")
set(CPACK_PACKAGE_CONTACT "${RVK_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "graphical genotypes of plant populations")
set(CPACK_PACKAGE_DESCRIPTION
    "RVK shows the marker genotypes of mapping and breeding populations as graphical genotypes:\n"
    "chromosome bars coloured by the allele carried at each marker. Around that picture it offers\n"
    "statistics, selection and sorting of individuals, core subsets, linkage disequilibrium,\n"
    "marker-trait association, genetic distances and trees. rvk-cli runs the same logic without\n"
    "a window.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The fonts the pictures are drawn with, and a viewer for the manual.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, fonts-wine, xdg-utils, qt6-wayland")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)

# Tests of the installed tree: every file at its place, the installed rvk-cli runs, the desktop
# entry and the file types are valid, the manual has pages and names every menu.
add_test(NAME InstallTree
         COMMAND ${CMAKE_SOURCE_DIR}/tests/install/test-install.sh ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
set_tests_properties(InstallTree PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 300)
# The Debian package with its dependencies found from the programs.
add_test(NAME DebianPackage COMMAND ${CMAKE_SOURCE_DIR}/tests/install/test-deb.sh ${CMAKE_BINARY_DIR})
set_tests_properties(DebianPackage PROPERTIES TIMEOUT 300)
# The program's own files found beside the program and in an installed tree.
find_package(GTest REQUIRED)
include(GoogleTest)
rvk_test(test_install install rvk_settings rvk_app)
set_target_properties(test_install PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
