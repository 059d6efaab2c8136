# Everything made from the product version (project(VERSION)): the header
# that the version resource and the tests include, the manifest, and the
# figures that the scripts read.

# Writes FlipsetVersion.h and flipset.manifest for VERSION into DIR.
function(flipset_version_files version dir)
    if(NOT version MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
        message(FATAL_ERROR "The product version needs four numbers, MAJOR.MINOR.PATCH.TWEAK: '${version}'")
    endif()
    set(major ${CMAKE_MATCH_1})
    set(minor ${CMAKE_MATCH_2})
    set(patch ${CMAKE_MATCH_3})
    set(tweak ${CMAKE_MATCH_4})
    # The limits of the version resource and of the installer package
    # (major and minor below 256, the third number below 65535 so that the
    # package's upgrade rules can name the next one).
    if(major GREATER 255 OR minor GREATER 255 OR patch GREATER 65534 OR tweak GREATER 65535)
        message(FATAL_ERROR "The product version is out of range: '${version}'")
    endif()
    set(FLIPSET_VERSION_FIELDS "${major}, ${minor}, ${patch}, ${tweak}")
    set(FLIPSET_VERSION_TEXT "${major}, ${minor}, ${patch}, ${tweak}")
    set(FLIPSET_VERSION_DOTTED "${version}")
    # The program compares a stored number with the digits of its version
    # text read as one number; it must fit in 32 bits.
    set(number "${major}${minor}${patch}${tweak}")
    string(REGEX REPLACE "^0+([0-9])" "\\1" number "${number}")
    string(LENGTH "${number}" length)
    if(length GREATER 9)
        message(FATAL_ERROR "The product version's digits do not fit in 32 bits: '${version}'")
    endif()
    set(FLIPSET_VERSION_NUMBER ${number})
    set(FLIPSET_VERSION_NUMBER ${number} PARENT_SCOPE)
    configure_file(${PROJECT_SOURCE_DIR}/res/FlipsetVersion.h.in ${dir}/FlipsetVersion.h @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/res/flipset.manifest.in ${dir}/flipset.manifest @ONLY)
endfunction()

set(FLIPSET_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
flipset_version_files(${PROJECT_VERSION} ${FLIPSET_GENERATED_DIR})
file(WRITE ${PROJECT_BINARY_DIR}/flipset-version.sh.tmp
    "FLIPSET_VERSION=${PROJECT_VERSION}\nFLIPSET_VERSION_NUMBER=${FLIPSET_VERSION_NUMBER}\n")
configure_file(${PROJECT_BINARY_DIR}/flipset-version.sh.tmp ${PROJECT_BINARY_DIR}/flipset-version.sh COPYONLY)

add_library(flipset_version INTERFACE)
target_include_directories(flipset_version INTERFACE ${FLIPSET_GENERATED_DIR})
