# 64-bit Windows: the same sources as the 32-bit module, built so the tests
# can run under Wine's 64-bit loader.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MXO2_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# ctest (and any custom command that runs a built program) goes through Wine.
# The prefix lives inside the build folder so each build starts from a clean,
# private Wine configuration.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  get_filename_component(MXO2_WINE_RUNNER "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine64-run.sh" ABSOLUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${MXO2_WINE_RUNNER};--prefix;${CMAKE_BINARY_DIR}/wineprefix")
endif()
