# Writes build_info.h with the version and the build: the git commit when the
# sources are a git checkout, nothing else (no date, no host), so that two
# builds of one commit are alike. Run at every build; the header is rewritten
# only when its text changes, so nothing recompiles for nothing.
# In: SRC (source tree), OUT (header), VERSION.
set(build "")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SRC} describe --always --dirty --abbrev=12
    OUTPUT_VARIABLE describe OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE failed ERROR_QUIET)
  if(NOT failed AND describe)
    set(build "git ${describe}")
  endif()
endif()
set(text "#pragma once\n#define BRZDEKOMAT_VERSION \"${VERSION}\"\n#define BRZDEKOMAT_BUILD \"${build}\"\n")
if(EXISTS ${OUT})
  file(READ ${OUT} old)
endif()
if(NOT old STREQUAL text)
  file(WRITE ${OUT} "${text}")
endif()
