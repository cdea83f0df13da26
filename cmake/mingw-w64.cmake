# Cross-build for 64-bit Windows with Debian's mingw-w64 (the posix thread model, for std::thread).
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DSTROVANE_GUI=OFF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw}-windres)

# Libraries built for the target (GoogleTest, pugixml) are found under CMAKE_PREFIX_PATH or the
# mingw sysroot, never among the build machine's own.
set(CMAKE_FIND_ROOT_PATH /usr/${_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# GCC 12 splits optimised functions into hot and cold parts whose SEH unwind data sends a thrown
# exception astray (it crashes in destructors while unwinding): keep functions whole.
set(CMAKE_C_FLAGS_INIT "-fno-reorder-blocks-and-partition")
set(CMAKE_CXX_FLAGS_INIT "-fno-reorder-blocks-and-partition")

# No MinGW runtime DLLs to carry around: the test programs run from the build folder under Wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Where the script installed GoogleTest and pugixml built with this toolchain.
if(STROVANE_WINDOWS_DEPS)
    list(APPEND CMAKE_FIND_ROOT_PATH ${STROVANE_WINDOWS_DEPS})
endif()
