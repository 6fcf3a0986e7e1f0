# Installs the build into a scratch prefix, checks that every file a desktop
# needs is there and valid, and that the installed text driver runs on its
# installed data (the terms text and the simulator's news feed).
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX} RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
foreach(f bin/yunxiu-cli bin/campus-sim lib/yunxiu/libyx_sim_http.so
          share/applications/${APP_ID}.desktop share/metainfo/${APP_ID}.metainfo.xml
          share/icons/hicolor/scalable/apps/${APP_ID}.svg share/icons/hicolor/48x48/apps/${APP_ID}.png
          share/icons/hicolor/256x256/apps/${APP_ID}.png
          share/yunxiu/resources/terms/terms_of_use.txt share/yunxiu/images/menu_4.png
          share/yunxiu/sim-data/campus/Data/xml/news-0.xml)
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
if(EXISTS ${BUILD}/bin/yunxiu AND NOT EXISTS ${PREFIX}/bin/yunxiu)
  message(FATAL_ERROR "not installed: bin/yunxiu")
endif()
execute_process(COMMAND $ENV{DESKTOP_FILE_VALIDATE} ${PREFIX}/share/applications/${APP_ID}.desktop RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "installed desktop entry is not valid")
endif()
execute_process(COMMAND $ENV{APPSTREAMCLI} validate --no-net ${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "installed metainfo is not valid")
endif()

# The installed driver, moved away from the source and build trees' data.
set(script ${PREFIX}/walk.txt)
file(WRITE ${script} "wait 0.2\nalert 0\nshow\n")
execute_process(COMMAND ${PREFIX}/bin/yunxiu-cli --clock virtual --data-dir ${PREFIX}/data --script ${script}
                OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT out MATCHES "agreeProvisionViewController")
  message(FATAL_ERROR "installed yunxiu-cli did not reach the terms: ${rc}\n${out}")
endif()
if(out MATCHES "使用條款暫時無法顯示")
  message(FATAL_ERROR "installed yunxiu-cli did not find its installed terms text")
endif()
file(WRITE ${script} "tap 4\nwait 3\n")
execute_process(COMMAND ${PREFIX}/bin/yunxiu-cli --clock virtual --data-dir ${PREFIX}/data2 --script ${script}
                OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT out MATCHES "newsListViewController")
  message(FATAL_ERROR "installed yunxiu-cli did not load the news from its installed simulator data:\n${out}")
endif()
file(REMOVE_RECURSE ${PREFIX})
