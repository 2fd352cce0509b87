# What `cmake --install` puts where, and the Debian package made from it.
# The build tree holds the same files at the same places below build/, so a
# program run from build/bin finds them as an installed one does.

set(ZOLVANT_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

install(TARGETS zolvant-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ZOLVANT_SEED_DATABASE} DESTINATION ${CMAKE_INSTALL_DATADIR}/zolvant)

# Man pages, with the version filled in.
foreach(page zolvant.1 zolvant-cli.1)
  configure_file(${ZOLVANT_PACKAGING_DIR}/${page}.in ${ZOLVANT_SHARE_DIR}/man/man1/${page} @ONLY)
  install(FILES ${ZOLVANT_SHARE_DIR}/man/man1/${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${ZOLVANT_PACKAGING_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zolvant)

if(ZOLVANT_WITH_GUI)
  install(TARGETS zolvant RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  # The desktop entry and the AppStream metainfo.
  # The date of the release project(VERSION) names; raise both together.
  set(ZOLVANT_RELEASE_DATE 2026-12-10)
  configure_file(${ZOLVANT_PACKAGING_DIR}/zolvant.desktop.in
                 ${ZOLVANT_SHARE_DIR}/applications/${ZOLVANT_APP_ID}.desktop @ONLY)
  configure_file(${ZOLVANT_PACKAGING_DIR}/zolvant.metainfo.xml.in
                 ${ZOLVANT_SHARE_DIR}/metainfo/${ZOLVANT_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${ZOLVANT_SHARE_DIR}/applications/${ZOLVANT_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${ZOLVANT_SHARE_DIR}/metainfo/${ZOLVANT_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  # The application icon: the SVG written here, and PNGs drawn from it by
  # the build.
  set(ZOLVANT_ICON_SIZES 16 32 48 64 128 256)
  set(icon_svg ${ZOLVANT_SHARE_DIR}/icons/hicolor/scalable/apps/${ZOLVANT_APP_ID}.svg)
  set(icon_pngs)
  foreach(n IN LISTS ZOLVANT_ICON_SIZES)
    list(APPEND icon_pngs ${ZOLVANT_SHARE_DIR}/icons/hicolor/${n}x${n}/apps/${ZOLVANT_APP_ID}.png)
  endforeach()
  add_executable(zolvant_make_icons ${ZOLVANT_PACKAGING_DIR}/make_icons.cpp)
  target_link_libraries(zolvant_make_icons PRIVATE Qt6::Gui Qt6::Svg)
  set_target_properties(zolvant_make_icons PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/packaging AUTOMOC OFF)
  add_custom_command(
    OUTPUT ${icon_svg} ${icon_pngs}
    COMMAND ${CMAKE_COMMAND} -E copy ${ZOLVANT_PACKAGING_DIR}/zolvant.svg ${icon_svg}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:zolvant_make_icons> ${ZOLVANT_PACKAGING_DIR}/zolvant.svg
            ${ZOLVANT_SHARE_DIR}/icons/hicolor ${ZOLVANT_APP_ID} ${ZOLVANT_ICON_SIZES}
    DEPENDS zolvant_make_icons ${ZOLVANT_PACKAGING_DIR}/zolvant.svg
    COMMENT "Application icon, SVG and PNGs"
    VERBATIM)
  add_custom_target(zolvant_icons ALL DEPENDS ${icon_svg} ${icon_pngs})
  install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(n IN LISTS ZOLVANT_ICON_SIZES)
    install(FILES ${ZOLVANT_SHARE_DIR}/icons/hicolor/${n}x${n}/apps/${ZOLVANT_APP_ID}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${n}x${n}/apps)
  endforeach()

  # The installed tree is exactly the expected one, and the validators of
  # the desktop entry and the metainfo report no error.
  find_program(ZOLVANT_DESKTOP_FILE_VALIDATE desktop-file-validate)
  find_program(ZOLVANT_APPSTREAMCLI appstreamcli)
  add_test(NAME installed_tree_and_desktop_files
           COMMAND ${ZOLVANT_PACKAGING_DIR}/check_install.sh ${CMAKE_BINARY_DIR} ${ZOLVANT_APP_ID}
                   ${ZOLVANT_PACKAGING_DIR}/install-tree.txt)
endif()

# The Debian package: `cpack -G DEB` in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zolvant)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zolvant developers")
set(CPACK_PACKAGE_CONTACT "Zolvant developers <maintainers@zolvant.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calculator of molar volumes by cubic equations of state")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "calculator of molar volumes by cubic equations of state
 Zolvant computes the liquid and vapour molar volumes and the vapour
 compressibility factor Z of gases, liquids and mixtures of up to four
 components by six cubic equations of state: van der Waals, Redlich-Kwong,
 Peng-Robinson, Soave-Redlich-Kwong, PRSV1 and PRSV2.
 .
 It comes with an editable database of critical constants, help windows
 and zolvant-cli, the same solver for the command line.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so invisible to dpkg-shlibdeps: the xcb and offscreen
# platform plugins ship in libqt6gui6 (which the libraries pull in anyway;
# named so that it stays so), the pictures are BMPs and PNGs, which need no
# image-format plugin, and the windows' fonts are Liberation Sans.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6gui6, fonts-liberation")
# The SVG icon engine, for the window icon at any size.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, libqt6svg6")
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/build.*/;/\\\\.git/")
include(CPack)
