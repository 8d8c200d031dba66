# 64-bit Windows with Debian's MinGW-w64: the build that runs here under Wine.
set(KELPA_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
