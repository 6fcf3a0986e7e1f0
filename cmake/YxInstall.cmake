# `cmake --install BUILD [--prefix DIR]`: the programs in bin/, the simulator's
# HTTP module in lib/yunxiu/, their data in
# share/yunxiu/ (the resources, the artwork, the simulator's demo campus),
# and the window's desktop entry, AppStream metainfo and icon (SVG and PNG
# sizes in the hicolor theme).
include(GNUInstallDirs)
set(YX_APP_ID tw.edu.yunxiu.Yunxiu)
set(YX_DESKTOP_DIR ${CMAKE_SOURCE_DIR}/app/gui/desktop)
set(YX_SHARE ${CMAKE_INSTALL_DATADIR}/yunxiu)

foreach(program yunxiu yunxiu-cli campus-sim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
# The simulator's HTTP module, looked for at <bin>/../lib/yunxiu/ by every
# program that embeds the simulator (sim/http_server.h).
if(TARGET yx_sim_http)
  install(TARGETS yx_sim_http LIBRARY DESTINATION lib/yunxiu)
endif()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/ DESTINATION ${YX_SHARE}/resources
  PATTERN CMakeLists.txt EXCLUDE PATTERN images EXCLUDE)
install(DIRECTORY ${YX_IMAGE_DIR}/ DESTINATION ${YX_SHARE}/images)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/sim/data/ DESTINATION ${YX_SHARE}/sim-data)

# The app icon at the sizes desktops ask for, drawn from its SVG.
set(YX_ICON_DIR ${CMAKE_BINARY_DIR}/resources/icons CACHE INTERNAL "the app icon as PNG")
set(YX_ICON_OUTPUTS)
foreach(size 16 24 32 48 64 128 256 512)
  set(png ${YX_ICON_DIR}/${size}x${size}/${YX_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${YX_ICON_DIR}/${size}x${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} --format=png -o ${png} ${YX_DESKTOP_DIR}/${YX_APP_ID}.svg
    DEPENDS ${YX_DESKTOP_DIR}/${YX_APP_ID}.svg VERBATIM)
  list(APPEND YX_ICON_OUTPUTS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(yx_icons ALL DEPENDS ${YX_ICON_OUTPUTS})
install(FILES ${YX_DESKTOP_DIR}/${YX_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${YX_DESKTOP_DIR}/${YX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${YX_DESKTOP_DIR}/${YX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The test command checks the desktop entry and the metainfo with the
# freedesktop and AppStream validators, and installs into a scratch prefix.
if(YX_TESTS)
  find_program(DESKTOP_FILE_VALIDATE desktop-file-validate REQUIRED)
  find_program(APPSTREAMCLI appstreamcli REQUIRED)
  add_test(NAME desktop_entry_valid COMMAND ${DESKTOP_FILE_VALIDATE} ${YX_DESKTOP_DIR}/${YX_APP_ID}.desktop)
  add_test(NAME appstream_metainfo_valid
    COMMAND ${APPSTREAMCLI} validate --no-net ${YX_DESKTOP_DIR}/${YX_APP_ID}.metainfo.xml)
  add_test(NAME install_to_prefix
    COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DPREFIX=${CMAKE_BINARY_DIR}/install-check
            -DAPP_ID=${YX_APP_ID} -P ${CMAKE_SOURCE_DIR}/cmake/YxInstallCheck.cmake)
  set_tests_properties(install_to_prefix PROPERTIES TIMEOUT 300
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0;DESKTOP_FILE_VALIDATE=${DESKTOP_FILE_VALIDATE};APPSTREAMCLI=${APPSTREAMCLI}")
endif()
