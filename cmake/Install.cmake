# Every install rule, in one place: the two programs and the desktop
# integration, what `cmake --install` puts in place, the .deb that
# `cpack -G DEB` builds, and the tests that check both.
include(GNUInstallDirs)

set(BJT_APP_ID io.github.adattamentobjt.AdattamentoBJT)
set(BJT_DATA_DIR ${PROJECT_SOURCE_DIR}/data)
set(BJT_ICON_SIZES 16 32 48 64 128 256)

install(TARGETS bjt-design RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(BJT_BUILD_GUI)
  install(TARGETS adattamento-bjt RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  # The theme PNGs are the window icon itself, drawn by the program's own
  # routine, so the menu and the windows show the same target.
  add_executable(bjt-export-icons ${PROJECT_SOURCE_DIR}/tools/icon/export_icons.cpp)
  target_link_libraries(bjt-export-icons PRIVATE bjtgui)
  set(BJT_ICON_DIR ${PROJECT_BINARY_DIR}/icons)
  set(BJT_ICON_PNGS)
  foreach(size ${BJT_ICON_SIZES})
    list(APPEND BJT_ICON_PNGS ${BJT_ICON_DIR}/${size}x${size}/${BJT_APP_ID}.png)
  endforeach()
  add_custom_command(OUTPUT ${BJT_ICON_PNGS}
    COMMAND bjt-export-icons ${BJT_ICON_DIR} ${BJT_APP_ID}
    DEPENDS bjt-export-icons
    COMMENT "Drawing the theme icons")
  add_custom_target(bjt-icons ALL DEPENDS ${BJT_ICON_PNGS})

  foreach(size ${BJT_ICON_SIZES})
    install(FILES ${BJT_ICON_DIR}/${size}x${size}/${BJT_APP_ID}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  install(FILES ${BJT_DATA_DIR}/icons/${BJT_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${BJT_DATA_DIR}/${BJT_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${BJT_DATA_DIR}/${BJT_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  # The file types it opens: shared-mime-info knows neither of them.
  install(FILES ${BJT_DATA_DIR}/${BJT_APP_ID}.mime.xml RENAME ${BJT_APP_ID}.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
  # Debian looks for the licence as the package's copyright file.
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE RENAME copyright
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/adattamento-bjt)

  set(BJT_PACKAGE_MAINTAINER "Adattamento BJT maintainers <maintainers@adattamento-bjt.invalid>"
      CACHE STRING "Maintainer field of the .deb")
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME adattamento-bjt)
  set(CPACK_PACKAGE_VENDOR "The Adattamento BJT developers")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
      "Matching networks for BJT amplifiers from S-parameters")
  # Debian shows the long description as is: lines of at most 80 characters.
  string(CONCAT CPACK_PACKAGE_DESCRIPTION
      "A desktop calculator for RF amplifier design, with an Italian user\n"
      "interface. From a bipolar transistor's S-parameters at one frequency, the\n"
      "source and load resistances and an optional feedback element it finds the\n"
      "simultaneous conjugate match, the power gain and the two T networks that\n"
      "match source and load to the transistor, and verifies the finished\n"
      "amplifier.")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${BJT_PACKAGE_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  # dpkg-shlibdeps finds the Qt and C++ runtime libraries; the lettering of
  # the pictures asks for Liberation Sans by name.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
  include(CPack)
endif()

if(BJT_BUILD_TESTS)
  # The validators are needed only by their own tests: without them those two
  # tests are listed as not run and everything else builds and runs.
  find_program(BJT_DESKTOP_FILE_VALIDATE desktop-file-validate)
  find_program(BJT_APPSTREAMCLI appstreamcli)
  add_test(NAME desktop.entry
           COMMAND ${BJT_DESKTOP_FILE_VALIDATE} ${BJT_DATA_DIR}/${BJT_APP_ID}.desktop)
  add_test(NAME desktop.metainfo
           COMMAND ${BJT_APPSTREAMCLI} validate --no-net ${BJT_DATA_DIR}/${BJT_APP_ID}.metainfo.xml)
  if(NOT BJT_DESKTOP_FILE_VALIDATE)
    message(STATUS "desktop-file-validate not found: desktop.entry will not run")
    set_tests_properties(desktop.entry PROPERTIES DISABLED TRUE)
  endif()
  if(NOT BJT_APPSTREAMCLI)
    message(STATUS "appstreamcli not found: desktop.metainfo will not run")
    set_tests_properties(desktop.metainfo PROPERTIES DISABLED TRUE)
  endif()
  set(BJT_DESKTOP_TESTS desktop.entry desktop.metainfo)

  if(BJT_BUILD_GUI)
    find_program(BJT_DPKG_DEB dpkg-deb REQUIRED)
    set(check_args -DBUILD_DIR=${PROJECT_BINARY_DIR} -DAPP_ID=${BJT_APP_ID}
                   "-DICON_SIZES=${BJT_ICON_SIZES}")
    add_test(NAME desktop.install
      COMMAND ${CMAKE_COMMAND} ${check_args} -DWORK_DIR=${PROJECT_BINARY_DIR}/desktop-install-test
              -P ${PROJECT_SOURCE_DIR}/tests/desktop/check_install.cmake)
    add_test(NAME desktop.package
      COMMAND ${CMAKE_COMMAND} ${check_args} -DWORK_DIR=${PROJECT_BINARY_DIR}/desktop-package-test
              -DCPACK=${CMAKE_CPACK_COMMAND} -DDPKG_DEB=${BJT_DPKG_DEB}
              -P ${PROJECT_SOURCE_DIR}/tests/desktop/check_package.cmake)
    list(APPEND BJT_DESKTOP_TESTS desktop.install desktop.package)
  endif()
  set_tests_properties(${BJT_DESKTOP_TESTS} PROPERTIES LABELS desktop TIMEOUT 120)
endif()
