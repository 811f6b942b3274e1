# Java runtime discovery. Paths are relative to src/.
target_sources(qarvo_core PRIVATE
  jre/RuntimeSearch.cpp
  # Owned by the virtual-machine code; listed here until that code lists it.
  jvm/JvmEntry.cpp
)
if(QARVO_WINDOWS)
  target_sources(qarvo_windows PRIVATE
  )
else()
  target_sources(qarvo_unit_tests PRIVATE
  )
endif()
