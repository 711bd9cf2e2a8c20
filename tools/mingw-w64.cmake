# Cross-compiling for 64-bit Windows with Debian's mingw-w64, as
# tools/windows.sh does: cmake -DCMAKE_TOOLCHAIN_FILE=tools/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++)

# Libraries and headers come from the Windows side only.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ and GCC run-time libraries are linked in: a program runs on its
# own, with no DLL to find beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
