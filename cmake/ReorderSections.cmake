# Writes the linker script of the launcher: the linker's default script with
# .reloc moved in front of .rsrc, so that the resources are the last section of
# the file (the configuration block is appended right behind their raw data)
# while relocations, and with them ASLR, stay; and without what nothing in the
# launcher reads (see below).
#   cmake -DLINKER=<ld> -DOUT=<file> -P ReorderSections.cmake
execute_process(COMMAND ${LINKER} --verbose OUTPUT_VARIABLE verbose RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${LINKER} --verbose failed")
endif()
string(REGEX MATCH "\n=+\n(.*)\n=+\n" _ "${verbose}")
set(script "${CMAKE_MATCH_1}")
string(REGEX MATCH "  \\.reloc[^\n]*\n  {\n[^}]*}\n" reloc "${script}")
string(REGEX MATCH "  \\.rsrc[^\n]*\n  {\n[^}]*}\n" rsrc "${script}")
if(reloc STREQUAL "" OR rsrc STREQUAL "")
  message(FATAL_ERROR "could not find .reloc and .rsrc in the default linker script")
endif()
string(REPLACE "${reloc}" "" script "${script}")
string(REPLACE "${rsrc}" "${reloc}${rsrc}" script "${script}")
# Dropped before any other rule can take them: the compilers' identification
# strings (.rdata$zzz, one per object) and the DWARF unwind tables, which
# nothing reads: the launcher has no exceptions and no start-up code that
# registers the tables.
string(REPLACE "SECTIONS\n{\n" "SECTIONS\n{\n  /DISCARD/ : { *(.rdata$zzz) *(.eh_frame*) }\n" script "${script}")
if(NOT script MATCHES "rdata\\$zzz")
  message(FATAL_ERROR "could not find the start of SECTIONS in the default linker script")
endif()
# The 64-bit unwind data (.xdata, a few dozen bytes from the libraries' objects)
# goes into .rdata, as other toolchains place it, instead of a section of its
# own that takes a whole file-alignment unit; .pdata, the table the exception
# directory names, keeps its own section and points into it by address.
string(REGEX MATCH "  \\.xdata[^\n]*\n  {\n[^}]*}\n" xdata "${script}")
if(NOT xdata STREQUAL "")
  string(REPLACE "${xdata}" "" script "${script}")
  string(REPLACE "    *(.rdata)\n" "    *(.rdata)\n    KEEP(*(.xdata*))\n" script "${script}")
  if(NOT script MATCHES "KEEP\\(\\*\\(\\.xdata")
    message(FATAL_ERROR "could not find the .rdata rule in the default linker script")
  endif()
endif()
file(WRITE "${OUT}" "${script}")
