# The core and velmora-lookup cross-compile for Windows with MinGW-w64, warnings as errors, into
# a program file that carries the icon and version resources.
#   cmake -DSOURCE_DIR=... -P windows_build_check.cmake
execute_process(COMMAND ${CMAKE_COMMAND} --preset windows-cli WORKING_DIRECTORY ${SOURCE_DIR}
                RESULT_VARIABLE failed OUTPUT_QUIET ERROR_VARIABLE said)
if(failed)
    message(FATAL_ERROR "configuring the Windows build failed: ${said}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build --preset windows-cli WORKING_DIRECTORY ${SOURCE_DIR}
                RESULT_VARIABLE failed OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(failed)
    message(FATAL_ERROR "the Windows build failed: ${said}")
endif()
set(program ${SOURCE_DIR}/build/windows-cli/bin/velmora-lookup.exe)
file(READ ${program} head LIMIT 2 HEX)
if(NOT head STREQUAL "4d5a")
    message(FATAL_ERROR "${program} is not a Windows program file")
endif()
find_program(OBJDUMP x86_64-w64-mingw32-objdump)
if(OBJDUMP)
    execute_process(COMMAND ${OBJDUMP} --section-headers ${program} OUTPUT_VARIABLE sections)
    if(NOT sections MATCHES "\\.rsrc")
        message(FATAL_ERROR "${program} carries no resources")
    endif()
endif()
