# Shared part of the two mingw-w64 toolchain files. The including file sets
# MXO2_MINGW_TRIPLE (i686-w64-mingw32 or x86_64-w64-mingw32) and
# CMAKE_SYSTEM_PROCESSOR before including this one.
#
# The posix-thread variants of Debian's cross compilers are used because
# their libstdc++ has std::thread and std::mutex; the cost is a dependency
# on winpthread, which the static link (top-level CMakeLists.txt) folds
# into the DLL.

set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${MXO2_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MXO2_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MXO2_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${MXO2_MINGW_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${MXO2_MINGW_TRIPLE}-ranlib CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${MXO2_MINGW_TRIPLE}-objdump CACHE FILEPATH "")

# Libraries and packages come from the target's sysroot only; programs
# (code generators, scripts) still come from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${MXO2_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The static C++ runtime (so the module imports only system DLLs) is asked
# for in the top-level CMakeLists.txt, which applies it to any MinGW build.
