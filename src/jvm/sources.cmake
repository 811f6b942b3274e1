# Virtual-machine creation and the call of the Java-side launcher class.
# Paths are relative to src/.
target_sources(qarvo_core PRIVATE
  jvm/JavaVMLauncher.cpp
  jvm/JvmEntry.cpp
)
if(QARVO_WINDOWS)
  target_sources(qarvo_windows PRIVATE
  )
else()
  target_sources(qarvo_unit_tests PRIVATE
  )
endif()
