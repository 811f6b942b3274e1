# Java runtime discovery. Paths are relative to src/.
target_sources(qarvo_core PRIVATE
  jre/JavaProbe.cpp
  jre/LibraryLoading.cpp
  jre/PackedRuntime.cpp
  jre/Registry.cpp
  jre/RegistryDiscovery.cpp
  jre/RuntimeSearch.cpp
  jre/RuntimeSystem.cpp
  jre/VersionCheck.cpp
)
if(QARVO_WINDOWS)
  target_sources(qarvo_windows PRIVATE
    jre/windows/ProbeProcessWin.cpp
    jre/windows/RegistryWin.cpp
    jre/windows/RuntimeSystemWin.cpp
  )
  target_link_libraries(qarvo_windows PUBLIC advapi32)
else()
  target_sources(qarvo_unit_tests PRIVATE
    jre/JavaProbe_test.cpp
    jre/LibraryLoading_test.cpp
    jre/RegistryDiscovery_test.cpp
    jre/RuntimeSearch_test.cpp
    jre/VersionCheck_test.cpp
    jre/testing/RuntimeFakes.cpp
  )
endif()
