# Fails when a file of src/image includes a header of the repository outside
# src/image: the image library builds with the standard library alone.
#   cmake -DDIR=<src/image> -P CheckImageIncludes.cmake
file(GLOB_RECURSE files ${DIR}/*.h ${DIR}/*.cpp)
set(offenders)
foreach(file ${files})
  file(STRINGS ${file} includes REGEX "^#include \"")
  foreach(line ${includes})
    if(NOT line MATCHES "^#include \"image/")
      list(APPEND offenders "${file}: ${line}")
    endif()
  endforeach()
endforeach()
if(offenders)
  list(JOIN offenders "\n" text)
  message(FATAL_ERROR "src/image includes headers from outside itself:\n${text}")
endif()
