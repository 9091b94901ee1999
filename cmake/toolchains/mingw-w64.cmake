# Cross-building for 64-bit Windows with MinGW-w64 and a MinGW Qt, named by
# ORDEVAN_QT_PREFIX (scripts/windows-qt makes one from Debian's sources):
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64.cmake \
#         -DORDEVAN_QT_PREFIX=<Qt> ...
# as scripts/windows-build does.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The -posix compilers, as Qt's: GoogleTest needs std::mutex and std::thread.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Compiler checks run this file again: they need the same Qt.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORDEVAN_QT_PREFIX)

if(NOT ORDEVAN_QT_PREFIX)
    message(FATAL_ERROR "ORDEVAN_QT_PREFIX names no MinGW Qt: run scripts/windows-build")
endif()
# Qt's DLLs use MinGW's runtime DLLs; the executables share them, so that one
# C++ runtime holds the memory and exceptions crossing between them.
list(APPEND CMAKE_FIND_ROOT_PATH ${ORDEVAN_QT_PREFIX})
list(APPEND CMAKE_PREFIX_PATH ${ORDEVAN_QT_PREFIX})
# moc, rcc and uic come from the build machine's Qt of the same version.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
