# Cross-compiles for the browser: clang-14 to wasm32-wasi with Debian's
# wasi-libc and libc++ for wasm32, C++ without exceptions (that runtime has
# none). Only this target's headers and libraries are ever searched.
#   cmake --preset web   (tools/install-deps.sh --web brings the packages)

# CMake 3.25 knows no WASI platform; Generic takes no host defaults.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(PC_SNAKE_WEB ON)

set(PC_SNAKE_WASI_TRIPLE wasm32-wasi)
set(PC_SNAKE_WASI_INCLUDE /usr/include/${PC_SNAKE_WASI_TRIPLE})
set(PC_SNAKE_WASI_LIB /usr/lib/${PC_SNAKE_WASI_TRIPLE})

# Each file a package brings, so that a missing one is named before the
# compiler check fails on it.
set(pc_snake_wasi_needs
  "/usr/bin/clang++-14|clang-14"
  "/usr/bin/wasm-ld-14|lld-14"
  "/usr/bin/llvm-ar-14|llvm-14"
  "${PC_SNAKE_WASI_LIB}/libc.a|wasi-libc"
  "${PC_SNAKE_WASI_LIB}/libc++.a|libc++-14-dev-wasm32"
  "${PC_SNAKE_WASI_LIB}/libc++abi.a|libc++abi-14-dev-wasm32"
  "/usr/lib/llvm-14/lib/clang/14.0.6/lib/wasi/libclang_rt.builtins-wasm32.a|libclang-rt-14-dev-wasm32")
set(pc_snake_wasi_missing "")
foreach(need IN LISTS pc_snake_wasi_needs)
  string(REPLACE "|" ";" need "${need}")
  list(GET need 0 file)
  list(GET need 1 package)
  if(NOT EXISTS "${file}")
    list(APPEND pc_snake_wasi_missing ${package})
  endif()
endforeach()
if(pc_snake_wasi_missing)
  list(REMOVE_DUPLICATES pc_snake_wasi_missing)
  list(JOIN pc_snake_wasi_missing " " pc_snake_wasi_missing)
  message(FATAL_ERROR "The web build needs the Debian packages ${pc_snake_wasi_missing}; "
    "`sudo tools/install-deps.sh --web` installs them.")
endif()

# clang's own default sysroot for this target is /, which would put the
# host's /usr/include on the path. A sysroot of two links holds only the
# target's folders. try_compile projects get the same one.
if(NOT PC_SNAKE_WASI_SYSROOT)
  set(PC_SNAKE_WASI_SYSROOT ${CMAKE_BINARY_DIR}/wasi-sysroot)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PC_SNAKE_WASI_SYSROOT)
file(MAKE_DIRECTORY ${PC_SNAKE_WASI_SYSROOT}/include ${PC_SNAKE_WASI_SYSROOT}/lib)
file(CREATE_LINK ${PC_SNAKE_WASI_INCLUDE}
  ${PC_SNAKE_WASI_SYSROOT}/include/${PC_SNAKE_WASI_TRIPLE} SYMBOLIC)
file(CREATE_LINK ${PC_SNAKE_WASI_LIB}
  ${PC_SNAKE_WASI_SYSROOT}/lib/${PC_SNAKE_WASI_TRIPLE} SYMBOLIC)
set(CMAKE_SYSROOT ${PC_SNAKE_WASI_SYSROOT})

set(CMAKE_CXX_COMPILER /usr/bin/clang++-14)
set(CMAKE_CXX_COMPILER_TARGET ${PC_SNAKE_WASI_TRIPLE})
# binutils' ar writes an index wasm-ld cannot read.
set(CMAKE_AR /usr/bin/llvm-ar-14 CACHE FILEPATH "archiver for wasm objects")
set(CMAKE_RANLIB /usr/bin/llvm-ranlib-14 CACHE FILEPATH "index for wasm archives")
set(CMAKE_CXX_FLAGS_INIT "-fno-exceptions")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld")
set(CMAKE_EXECUTABLE_SUFFIX_CXX .wasm)

# Headers, libraries and packages only from the sysroot, never an x86 one.
# Programs (node, chromium) run on the build machine and are found there.
set(CMAKE_FIND_ROOT_PATH ${PC_SNAKE_WASI_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
