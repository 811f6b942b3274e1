# Java runtime discovery. Paths are relative to src/.
target_sources(qarvo_core PRIVATE
  jre/RuntimeSearch.cpp
  jre/VersionCheck.cpp
)
if(QARVO_WINDOWS)
  target_sources(qarvo_windows PRIVATE
  )
else()
  target_sources(qarvo_unit_tests PRIVATE
    jre/VersionCheck_test.cpp
  )
endif()
