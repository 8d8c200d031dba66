# 32-bit Windows with Debian's MinGW-w64: the product's build.
set(KELPA_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
