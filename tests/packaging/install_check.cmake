# An installation into a fresh prefix works: the layout is complete, the installed
# velmora-lookup finds the installed table from a folder without one, and the desktop entry and
# metainfo pass their validators where those are installed. Where dpkg-deb is, the .deb holds the
# same layout under /usr and depends on the shared libraries the programs really use.
#   cmake -DBUILD_DIR=... -DWORK_DIR=... -DAPP_ID=... -DVERSION=... -P install_check.cmake
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
    message(FATAL_ERROR "cmake --install failed")
endif()

set(layout bin/velmora bin/velmora-lookup share/velmora/RPO.txt
    share/applications/${APP_ID}.desktop share/metainfo/${APP_ID}.metainfo.xml
    share/icons/hicolor/32x32/apps/${APP_ID}.png share/icons/hicolor/256x256/apps/${APP_ID}.png)
foreach(installed IN LISTS layout)
    if(NOT EXISTS ${prefix}/${installed})
        message(FATAL_ERROR "the installation lacks ${installed}")
    endif()
endforeach()

file(MAKE_DIRECTORY ${WORK_DIR}/elsewhere)
execute_process(COMMAND ${prefix}/bin/velmora-lookup L98 WORKING_DIRECTORY ${WORK_DIR}/elsewhere
                OUTPUT_VARIABLE shown RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT shown MATCHES "^L98  5\\.7L")
    message(FATAL_ERROR "the installed velmora-lookup did not find the installed table: ${shown}")
endif()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
    execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${prefix}/share/applications/${APP_ID}.desktop
                    RESULT_VARIABLE failed OUTPUT_VARIABLE complaints ERROR_VARIABLE complaints)
    if(failed OR NOT complaints STREQUAL "")
        message(FATAL_ERROR "desktop-file-validate: ${complaints}")
    endif()
else()
    message(STATUS "desktop-file-validate is not installed: the desktop entry was not validated")
endif()

find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
    execute_process(COMMAND ${APPSTREAMCLI} validate --no-net
                            ${prefix}/share/metainfo/${APP_ID}.metainfo.xml
                    RESULT_VARIABLE failed OUTPUT_VARIABLE complaints ERROR_VARIABLE complaints)
    if(failed)
        message(FATAL_ERROR "appstreamcli validate: ${complaints}")
    endif()
else()
    message(STATUS "appstreamcli is not installed: the metainfo was not validated")
endif()

find_program(DPKG_DEB dpkg-deb)
if(DPKG_DEB)
    execute_process(COMMAND cpack -G DEB -B ${WORK_DIR}/package WORKING_DIRECTORY ${BUILD_DIR}
                    RESULT_VARIABLE failed OUTPUT_VARIABLE said ERROR_VARIABLE said)
    set(deb ${WORK_DIR}/package/velmora_${VERSION}_amd64.deb)
    if(failed OR NOT EXISTS ${deb})
        message(FATAL_ERROR "cpack did not make ${deb}: ${said}")
    endif()
    execute_process(COMMAND ${DPKG_DEB} --contents ${deb} OUTPUT_VARIABLE listing)
    foreach(packed IN LISTS layout)
        string(FIND "${listing}" " ./usr/${packed}\n" at)
        if(at EQUAL -1)
            message(FATAL_ERROR "the package lacks /usr/${packed}:\n${listing}")
        endif()
    endforeach()
    execute_process(COMMAND ${DPKG_DEB} --field ${deb} Depends Version OUTPUT_VARIABLE fields)
    if(NOT fields MATCHES "libqt6widgets6" OR NOT fields MATCHES "Version: ${VERSION}")
        message(FATAL_ERROR "unexpected package fields: ${fields}")
    endif()
endif()
file(REMOVE_RECURSE ${WORK_DIR})
