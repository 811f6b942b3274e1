/*
 * Machine-dependent JNI definitions for Windows (32-bit and 64-bit), used
 * together with the JDK's portable jni.h when building with mingw-w64.
 *
 * jni.h includes "jni_md.h" by name; put the directory of this file before the
 * JDK's include directory (and never add the JDK's platform directory, whose
 * header describes the build host, not Windows).
 */
#ifndef QARVO_JNI_MD_H
#define QARVO_JNI_MD_H
/* The guard the JDK's own headers test for, so a second jni_md.h on the
   include path cannot redefine the types. */
#ifndef _JAVASOFT_JNI_MD_H_
#define _JAVASOFT_JNI_MD_H_

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)

/* Every JNI entry point and every slot of the function tables uses the
   standard Windows calling convention on 32-bit x86 (the callee pops its
   arguments). The 64-bit compiler ignores the keyword: x64 has one convention.
   Variadic functions declared with it are compiled as cdecl. */
#define JNICALL __stdcall

/* long is 32 bits on Windows in both 32-bit and 64-bit builds. */
typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif /* _JAVASOFT_JNI_MD_H_ */
#endif /* QARVO_JNI_MD_H */
