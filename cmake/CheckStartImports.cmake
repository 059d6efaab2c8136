# Fails when PROGRAM loads at start a DLL that is not in ALLOWED: the
# import table, as OBJDUMP prints it, may name only those; every other DLL
# must be delay-loaded (src/CMakeLists.txt). A function missing from a
# delay-import list of a DLL that the linker also adds by default (shell32)
# would otherwise bring that DLL back to every start without a link error.
#
#   cmake -DOBJDUMP=... -DPROGRAM=... "-DALLOWED=KERNEL32.dll;..." -P CheckStartImports.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM}
    OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${PROGRAM} failed")
endif()
# The delay-import table follows the import table and names its DLLs the
# same way: read only what comes before it.
string(FIND "${dump}" "Delay Import Tables" delay_start)
if(NOT delay_start EQUAL -1)
    string(SUBSTRING "${dump}" 0 ${delay_start} dump)
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" names "${dump}")
string(TOUPPER "${ALLOWED}" allowed)
set(unexpected)
foreach(entry ${names})
    string(REPLACE "DLL Name: " "" dll "${entry}")
    string(STRIP "${dll}" dll)
    string(TOUPPER "${dll}" upper)
    if(NOT upper IN_LIST allowed)
        list(APPEND unexpected ${dll})
    endif()
endforeach()
if(unexpected)
    message(FATAL_ERROR "${PROGRAM} loads at every start: ${unexpected}; "
        "delay-load it (src/CMakeLists.txt, cmake/delay-imports)")
endif()
list(LENGTH names count)
message(STATUS "${count} DLLs loaded at start, all expected")
