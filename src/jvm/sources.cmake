# Virtual-machine creation and the call of the Java-side launcher class.
# Paths are relative to src/.
target_sources(qarvo_core PRIVATE
  jvm/JavaVMCreation.cpp
  jvm/JavaVMLauncher.cpp
  jvm/JvmEntry.cpp
  jvm/LauncherOptions.cpp
  jvm/MainInvocation.cpp
)

# The JNI code is portable: jni.h of a JDK on the build machine, with the
# build host's jni_md.h natively and our own Windows jni_md.h (which must come
# first) for the launcher.
# The JDK is the one chosen in the top-level CMakeLists.txt.
find_path(QARVO_JNI_INCLUDE_DIR jni.h
  PATHS ${QARVO_JDK_HOME}/include
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
  REQUIRED)

if(QARVO_WINDOWS)
  target_include_directories(qarvo_core BEFORE PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/jvm/include/win32)
  target_include_directories(qarvo_core PUBLIC ${QARVO_JNI_INCLUDE_DIR})
  target_sources(qarvo_windows PRIVATE
    jvm/windows/JavaVMLauncher.cpp
  )
else()
  target_include_directories(qarvo_core PUBLIC ${QARVO_JNI_INCLUDE_DIR} ${QARVO_JNI_INCLUDE_DIR}/linux)
  target_sources(qarvo_unit_tests PRIVATE
    jvm/JavaVMLauncher_test.cpp
    jvm/LauncherOptions_test.cpp
    jvm/MainInvocation_test.cpp
    jvm/testing/FakeJvm.cpp
  )
endif()
