# Cross build for aarch64 with Debian's cross compiler (g++-aarch64-linux-gnu),
# against the arm64 libraries in a private root (scripts/aarch64_sysroot.sh
# makes it; TAVRIK_SYSROOT names it, default build-aarch64/sysroot). The tests
# run under qemu-user-static, which reads the arm64 libraries from there.
# Qt's tools (moc) are this machine's own: QT_HOST_PATH.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

if(NOT TAVRIK_SYSROOT)
  get_filename_component(TAVRIK_SYSROOT "${CMAKE_CURRENT_LIST_DIR}/../build-aarch64/sysroot" ABSOLUTE)
endif()
set(TAVRIK_SYSROOT "${TAVRIK_SYSROOT}" CACHE PATH "The private root with the arm64 libraries")
# The compiler checks run in projects of their own, which see only these.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TAVRIK_SYSROOT)
if(NOT EXISTS "${TAVRIK_SYSROOT}/usr/lib/aarch64-linux-gnu/cmake/Qt6")
  message(FATAL_ERROR "No arm64 Qt in ${TAVRIK_SYSROOT}: make it with scripts/aarch64_sysroot.sh")
endif()

# Libraries and packages from the private root only; programs (moc) from here.
# The C library and crt files are the cross compiler's own (libc6-dev-arm64-cross).
set(CMAKE_FIND_ROOT_PATH "${TAVRIK_SYSROOT}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(QT_HOST_PATH /usr)
# Debian keeps the build machine's Qt package files in its multiarch folder.
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${CMAKE_HOST_SYSTEM_PROCESSOR}-linux-gnu/cmake)

# The libraries Qt's own libraries load, found at link time in the private root.
set(arm64_libraries "${TAVRIK_SYSROOT}/usr/lib/aarch64-linux-gnu:${TAVRIK_SYSROOT}/lib/aarch64-linux-gnu")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,-rpath-link,${arm64_libraries}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-Wl,-rpath-link,${arm64_libraries}")

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static -L "${TAVRIK_SYSROOT}")
