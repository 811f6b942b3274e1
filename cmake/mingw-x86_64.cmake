# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (win32 thread
# model, so nothing depends on winpthread).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${triple}-gcc-win32 ${triple}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${triple}-g++-win32 ${triple}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${triple}-windres REQUIRED)
# The archivers that index link-time-optimisation objects (the launcher's
# libraries carry them, see src/CMakeLists.txt).
find_program(CMAKE_AR NAMES ${triple}-gcc-ar-win32 ${triple}-gcc-ar REQUIRED)
find_program(CMAKE_RANLIB NAMES ${triple}-gcc-ranlib-win32 ${triple}-gcc-ranlib REQUIRED)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
