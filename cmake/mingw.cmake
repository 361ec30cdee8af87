# Shared by the two toolchain files (mingw32.cmake, mingw64.cmake), which set HW_TRIPLE,
# the processor and the Wine loader their tests run under by default. MinGW-w64 with
# the posix thread model (std::thread and std::mutex), linked statically.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   /usr/bin/${HW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER /usr/bin/${HW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  /usr/bin/${HW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${HW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Tests run through Wine; the prefix and display come from the environment, the loader
# from scripts/lib.sh (HW_WINE), which knows which one this machine can start.
if(NOT HW_WINE)
  set(HW_WINE ${HW_DEFAULT_WINE})
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env;WINEDEBUG=-all;${HW_WINE})
