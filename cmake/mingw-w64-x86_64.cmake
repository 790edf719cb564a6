# Toolchain for the native Windows (x64) build with Debian's mingw-w64 cross
# compilers.  The posix thread model is the one with std::thread and
# std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZT_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZT_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
