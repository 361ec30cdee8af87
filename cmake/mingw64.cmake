# Cross toolchain: 64-bit Windows, the twin of the product for machines that cannot
# execute 32-bit code.
set(HW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(HW_DEFAULT_WINE /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
