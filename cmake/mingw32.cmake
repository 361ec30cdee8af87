# Cross toolchain: 32-bit Windows, the product.
set(HW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(HW_DEFAULT_WINE wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
