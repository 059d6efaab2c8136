# Everything made from the product version (project(VERSION)): the header
# that the version resource and the tests include, the manifest, and the
# figures that the scripts read.
if(NOT PROJECT_VERSION MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+$")
    message(FATAL_ERROR "The product version needs four numbers, MAJOR.MINOR.PATCH.TWEAK: '${PROJECT_VERSION}'")
endif()
# The limits of the version resource and of the installer package
# (major and minor below 256, the third field below 65536).
if(PROJECT_VERSION_MAJOR GREATER 255 OR PROJECT_VERSION_MINOR GREATER 255
        OR PROJECT_VERSION_PATCH GREATER 65535 OR PROJECT_VERSION_TWEAK GREATER 65535)
    message(FATAL_ERROR "The product version is out of range: '${PROJECT_VERSION}'")
endif()

set(FLIPSET_VERSION_TEXT
    "${PROJECT_VERSION_MAJOR}, ${PROJECT_VERSION_MINOR}, ${PROJECT_VERSION_PATCH}, ${PROJECT_VERSION_TWEAK}")
# The program compares a stored number with the digits of its version text
# read as one number; it must fit in 32 bits.
set(FLIPSET_VERSION_NUMBER
    "${PROJECT_VERSION_MAJOR}${PROJECT_VERSION_MINOR}${PROJECT_VERSION_PATCH}${PROJECT_VERSION_TWEAK}")
string(LENGTH "${FLIPSET_VERSION_NUMBER}" number_length)
if(number_length GREATER 9)
    message(FATAL_ERROR "The product version's digits do not fit in 32 bits: '${PROJECT_VERSION}'")
endif()
string(REGEX REPLACE "^0+([0-9])" "\\1" FLIPSET_VERSION_NUMBER "${FLIPSET_VERSION_NUMBER}")

set(FLIPSET_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/res/FlipsetVersion.h.in ${FLIPSET_GENERATED_DIR}/FlipsetVersion.h @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/res/flipset.manifest.in ${FLIPSET_GENERATED_DIR}/flipset.manifest @ONLY)
file(WRITE ${PROJECT_BINARY_DIR}/flipset-version.sh.tmp
    "FLIPSET_VERSION=${PROJECT_VERSION}\nFLIPSET_VERSION_NUMBER=${FLIPSET_VERSION_NUMBER}\n")
configure_file(${PROJECT_BINARY_DIR}/flipset-version.sh.tmp ${PROJECT_BINARY_DIR}/flipset-version.sh COPYONLY)

add_library(flipset_version INTERFACE)
target_include_directories(flipset_version INTERFACE ${FLIPSET_GENERATED_DIR})
