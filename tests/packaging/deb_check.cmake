# The .deb holds the installation's layout under /usr and depends on the shared libraries the
# programs really use.
#   cmake -DBUILD_DIR=... -DWORK_DIR=... -DAPP_ID=... -DVERSION=... -P deb_check.cmake
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND cpack -G DEB -B ${WORK_DIR} WORKING_DIRECTORY ${BUILD_DIR}
                RESULT_VARIABLE failed OUTPUT_VARIABLE said ERROR_VARIABLE said)
set(deb ${WORK_DIR}/velmora_${VERSION}_amd64.deb)
if(failed OR NOT EXISTS ${deb})
    message(FATAL_ERROR "cpack did not make ${deb}: ${said}")
endif()
execute_process(COMMAND dpkg-deb --contents ${deb} OUTPUT_VARIABLE listing)
foreach(packed
        ./usr/bin/velmora ./usr/bin/velmora-lookup ./usr/share/velmora/RPO.txt
        ./usr/share/applications/${APP_ID}.desktop ./usr/share/metainfo/${APP_ID}.metainfo.xml
        ./usr/share/icons/hicolor/32x32/apps/${APP_ID}.png)
    string(FIND "${listing}" " ${packed}\n" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the package lacks ${packed}:\n${listing}")
    endif()
endforeach()
execute_process(COMMAND dpkg-deb --field ${deb} Depends Version OUTPUT_VARIABLE fields)
if(NOT fields MATCHES "libqt6widgets6" OR NOT fields MATCHES "Version: ${VERSION}")
    message(FATAL_ERROR "unexpected package fields: ${fields}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
