# Cross-building the Windows programs on Debian with mingw-w64 (64-bit, POSIX
# threads), for example:
#   cmake -S . -B build-windows --toolchain cmake/mingw-w64-x86_64.cmake
# The programs link statically (the C++ runtime, winpthreads and libdeflate included),
# so that they import only DLLs Windows ships. Programs the build runs itself
# (the generator of the standard fonts' width tables, the tests' discovery) run
# under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TABULON_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TABULON_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TABULON_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TABULON_MINGW_PREFIX}-windres)

# Libraries and headers come from the mingw-w64 tree only; programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TABULON_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
# zlib's static archive, not the import library of zlib1.dll (the tests use zlib).
set(ZLIB_USE_STATIC_LIBS ON)

# Wine, quietly and with a time limit (cmake/wine-run.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR sh ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
