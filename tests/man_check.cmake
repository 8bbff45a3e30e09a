# Formats the man page PAGE as man(1) does and fails on any warning.
find_program(MAN man)
if(NOT MAN)
  message(FATAL_ERROR "man is not installed (tools/install-deps installs man-db)")
endif()
set(ENV{MANWIDTH} 80)
set(ENV{MANPAGER} cat)
set(ENV{LC_ALL} C.UTF-8)
execute_process(COMMAND ${MAN} --warnings -l ${PAGE}
  RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(failed OR NOT err STREQUAL "" OR out STREQUAL "")
  message(FATAL_ERROR "man --warnings -l ${PAGE}: status ${failed}\n${err}")
endif()
