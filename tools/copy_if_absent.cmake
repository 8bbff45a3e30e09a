# Copies the demo's data files from SRC into DST, each only when DST lacks it:
# the program rewrites Confing.tdf, and a rebuild must not undo the user's
# settings or their own key map.
foreach(name Keys.tdf Levels.tdf Confing.tdf)
  if(NOT EXISTS "${DST}/${name}")
    file(COPY "${SRC}/${name}" DESTINATION "${DST}")
  endif()
endforeach()
