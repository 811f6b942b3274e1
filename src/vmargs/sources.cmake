# VM options, variable expansion and the class path. Paths are relative to src/.
target_sources(qarvo_core PRIVATE
  vmargs/VariableExpansion.cpp
)
if(QARVO_WINDOWS)
  target_sources(qarvo_windows PRIVATE
  )
else()
  target_sources(qarvo_unit_tests PRIVATE
    vmargs/VariableExpansion_test.cpp
  )
endif()
