# 32-bit Windows, the host's own platform. Programs built here cannot run on
# this machine (no 32-bit support in its kernel): the build is checked by
# compiling it and by reading the module's export and import tables.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MXO2_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
