# VM options, variable expansion and the class path. Paths are relative to src/.
target_sources(qarvo_core PRIVATE
  vmargs/ClassPath.cpp
  vmargs/OptionsFile.cpp
  vmargs/VariableExpansion.cpp
  vmargs/VmOptions.cpp
)
if(NOT QARVO_WINDOWS)
  target_sources(qarvo_unit_tests PRIVATE
    vmargs/ClassPath_test.cpp
    vmargs/VariableExpansion_test.cpp
    vmargs/VmOptions_test.cpp
    vmargs/testing/FakeOptionsFiles.cpp
  )
endif()
