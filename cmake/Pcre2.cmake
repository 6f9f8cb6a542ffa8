# PCRE2, the regular-expression engine of every search: its 8-bit library (matching the editing
# component's UTF-8 text in place, and files) and its 16-bit one (symbol extraction over wide
# text), both with the JIT compiler, built statically from its own CMake project.
#
# TESSARY_PCRE2_DIR points at the unpacked PCRE2 sources (on Linux the setup script fetches them;
# on Windows point it at your own copy of a PCRE2 10.x release).

set(TESSARY_PCRE2_DIR "$ENV{HOME}/.cache/tessary/pcre2-src" CACHE PATH "PCRE2 source tree")

if(NOT EXISTS "${TESSARY_PCRE2_DIR}/CMakeLists.txt" OR NOT EXISTS "${TESSARY_PCRE2_DIR}/src/pcre2_compile.c")
    message(FATAL_ERROR "PCRE2 sources not found at ${TESSARY_PCRE2_DIR}. Run scripts/setup.sh, or set "
        "TESSARY_PCRE2_DIR to an unpacked PCRE2 release.")
endif()

set(PCRE2_BUILD_PCRE2_8 ON CACHE BOOL "" FORCE)
set(PCRE2_BUILD_PCRE2_16 ON CACHE BOOL "" FORCE)
set(PCRE2_BUILD_PCRE2_32 OFF CACHE BOOL "" FORCE)
set(PCRE2_SUPPORT_JIT ON CACHE BOOL "" FORCE)
set(PCRE2_BUILD_TESTS OFF CACHE BOOL "" FORCE)
set(PCRE2_BUILD_PCRE2GREP OFF CACHE BOOL "" FORCE)
set(PCRE2_SUPPORT_LIBBZ2 OFF CACHE BOOL "" FORCE)
set(PCRE2_SUPPORT_LIBZ OFF CACHE BOOL "" FORCE)
set(PCRE2_SUPPORT_LIBREADLINE OFF CACHE BOOL "" FORCE)
set(PCRE2_SHOW_REPORT OFF CACHE BOOL "" FORCE)
set(BUILD_STATIC_LIBS ON CACHE BOOL "" FORCE)
set(BUILD_SHARED_LIBS OFF CACHE BOOL "" FORCE)

# Third-party code: built as it comes, its warnings are not ours.
add_subdirectory("${TESSARY_PCRE2_DIR}" pcre2 EXCLUDE_FROM_ALL)
target_compile_options(pcre2-8-static PRIVATE -w -O2)
target_compile_options(pcre2-16-static PRIVATE -w -O2)
# The targets add PCRE2_STATIC and the header folder; each user file defines PCRE2_CODE_UNIT_WIDTH
# for the width it works in before including pcre2.h.
