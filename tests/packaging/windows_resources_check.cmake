# The Windows resource script compiles with windres into an object, and its compiled form holds
# icon group 1, icon 30001 and a version record that says 1.00.0001 and Velmora.
#   cmake -DWINDRES=... -DRC=... -DWORK_DIR=... -P windows_resources_check.cmake
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
foreach(form coff res)
    execute_process(COMMAND ${WINDRES} --input ${RC} --output-format ${form}
                            --output ${WORK_DIR}/velmora.${form}
                    RESULT_VARIABLE failed ERROR_VARIABLE said)
    if(failed)
        message(FATAL_ERROR "windres -O ${form} failed: ${said}")
    endif()
endforeach()

# In a .res file each entry's type and name follow its two sizes; numbers stand as FFFF then the
# number, little-endian.
file(READ ${WORK_DIR}/velmora.res compiled HEX)
function(expect what hex)
    string(FIND "${compiled}" "${hex}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the compiled resources lack ${what}")
    endif()
endfunction()
function(utf16 text out)
    string(HEX "${text}" bytes)
    string(REGEX REPLACE "(..)" "\\100" wide "${bytes}")
    set(${out} ${wide} PARENT_SCOPE)
endfunction()
expect("icon group 1" "ffff0e00ffff0100")
expect("icon 30001" "ffff0300ffff3175")
expect("the version record" "ffff1000ffff0100")
utf16("1.00.0001" version)
utf16("Velmora" product)
utf16("ProductName" productName)
utf16("InternalName" internalName)
expect("the version 1.00.0001" "${version}")
# The fixed part of the version record: its signature and structure version, then file and
# product version 1,0,0,1 as two pairs of 16-bit numbers each, little-endian.
expect("file and product version 1,0,0,1"
       "bd04effe0000010000000100010000000000010001000000")
expect("ProductName" "${productName}")
expect("InternalName" "${internalName}")
expect("the name Velmora" "${product}")
file(SIZE ${WORK_DIR}/velmora.coff object_size)
if(object_size LESS 2216)
    message(FATAL_ERROR "the resource object is too small to hold the icon")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
