# SciLexer.dll: Scintilla's Win32 layer and Lexilla in one DLL, statically linked against the
# C++ runtime so that it imports only system DLLs.
#
# TESSARY_SCINTILLA_DIR / TESSARY_LEXILLA_DIR point at the component sources (on Linux the setup
# script fetches them; on Windows point them at your own checkout). TESSARY_SCILEXER_DLL may name an
# already built DLL instead, which is then copied as it is.

set(TESSARY_COMPONENT_SOURCES "$ENV{HOME}/.cache/tessary/scite-src" CACHE PATH
    "Folder holding scintilla/ and lexilla/ source trees")
set(TESSARY_SCINTILLA_DIR "${TESSARY_COMPONENT_SOURCES}/scintilla" CACHE PATH "Scintilla source tree")
set(TESSARY_LEXILLA_DIR "${TESSARY_COMPONENT_SOURCES}/lexilla" CACHE PATH "Lexilla source tree")
set(TESSARY_SCILEXER_DLL "" CACHE FILEPATH "Prebuilt SciLexer.dll to use instead of building one")

if(TESSARY_SCILEXER_DLL)
    add_custom_target(SciLexer ALL
        COMMAND ${CMAKE_COMMAND} -E copy_if_different "${TESSARY_SCILEXER_DLL}"
                "${CMAKE_BINARY_DIR}/SciLexer.dll")
    return()
endif()

if(NOT EXISTS "${TESSARY_SCINTILLA_DIR}/win32/ScintillaWin.cxx" OR
   NOT EXISTS "${TESSARY_LEXILLA_DIR}/src/Lexilla.cxx")
    message(FATAL_ERROR "Scintilla/Lexilla sources not found at ${TESSARY_SCINTILLA_DIR} and "
        "${TESSARY_LEXILLA_DIR}. Run scripts/setup.sh, or set TESSARY_SCINTILLA_DIR and "
        "TESSARY_LEXILLA_DIR (or TESSARY_SCILEXER_DLL).")
endif()

file(GLOB _sci_core "${TESSARY_SCINTILLA_DIR}/src/*.cxx")
file(GLOB _lex_lib "${TESSARY_LEXILLA_DIR}/lexlib/*.cxx")
file(GLOB _lex_lexers "${TESSARY_LEXILLA_DIR}/lexers/*.cxx")
set(_sci_win32
    "${TESSARY_SCINTILLA_DIR}/win32/HanjaDic.cxx"
    "${TESSARY_SCINTILLA_DIR}/win32/PlatWin.cxx"
    "${TESSARY_SCINTILLA_DIR}/win32/ScintillaWin.cxx"
    "${TESSARY_SCINTILLA_DIR}/win32/ScintillaDLL.cxx"
    "${TESSARY_SCINTILLA_DIR}/win32/ScintRes.rc")

add_library(SciLexer SHARED
    ${_sci_core} ${_sci_win32}
    "${TESSARY_LEXILLA_DIR}/src/Lexilla.cxx" ${_lex_lib} ${_lex_lexers}
    "${CMAKE_CURRENT_LIST_DIR}/SciLexer.def")
set_target_properties(SciLexer PROPERTIES
    PREFIX "" OUTPUT_NAME "SciLexer"
    RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}"
    CXX_STANDARD 17 CXX_STANDARD_REQUIRED ON)
target_include_directories(SciLexer PRIVATE
    "${TESSARY_SCINTILLA_DIR}/include" "${TESSARY_SCINTILLA_DIR}/src"
    "${TESSARY_LEXILLA_DIR}/include" "${TESSARY_LEXILLA_DIR}/lexlib")
# Third-party code: its own warnings are not ours to fix.
target_compile_options(SciLexer PRIVATE -w -O2)
target_compile_definitions(SciLexer PRIVATE NDEBUG)
target_link_options(SciLexer PRIVATE -static -static-libgcc -static-libstdc++ -s)
target_link_libraries(SciLexer PRIVATE gdi32 user32 imm32 ole32 uuid oleaut32 advapi32 msimg32)
