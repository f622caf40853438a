# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the posix-threads
# variant: std::thread and std::mutex need it). Used for the static Qt and
# Highway that scripts/windows.sh builds, and for Tavrik itself.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAVRIK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAVRIK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVRIK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVRIK_MINGW_TRIPLE}-windres)

# GCC cannot align the stack beyond 16 bytes on 64-bit Windows, yet spills AVX
# registers with aligned moves (GCC bug 54412): a crash wherever Qt's or our
# vector code spills. The assembler makes every such move an unaligned one.
set(CMAKE_C_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")
set(CMAKE_CXX_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")

# Libraries and packages come from the MinGW root and the prefixes given in
# CMAKE_PREFIX_PATH, never from the build machine; programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${TAVRIK_MINGW_TRIPLE} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked in, the C and C++ runtimes and winpthread too: the
# program needs no DLL beyond Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Qt's tools (moc, rcc, uic) run on the build machine: Debian's own Qt there,
# whose CMake files live in the multiarch folder.
set(QT_HOST_PATH /usr CACHE PATH "Qt for the build machine")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${CMAKE_HOST_SYSTEM_PROCESSOR}-linux-gnu/cmake
    CACHE PATH "CMake files of the build machine's Qt")
