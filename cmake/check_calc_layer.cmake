# The calculation layer's include rule, run by the build for every calc
# library: a calculation file (and its header) includes only the standard
# library, other calculation headers (*Calc.h and the magnetics library's) and
# the pure headers listed in PURE; never platform/, Qt or a window.
#   cmake -DFILES=a.cpp|b.cpp -DPURE=x.h|y.h -DSTAMP=out -P check_calc_layer.cmake
string(REPLACE "|" ";" files "${FILES}")
string(REPLACE "|" ";" pure "${PURE}")
set(problems "")
foreach(file ${files})
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${lines})
    if(line MATCHES "#[ \t]*include[ \t]*<([^>]+)>")
      if(CMAKE_MATCH_1 MATCHES "^Q")
        string(APPEND problems "  ${file}: ${line} (Qt)\n")
      endif()
    elseif(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(inc "${CMAKE_MATCH_1}")
      list(FIND pure "${inc}" at)
      if(inc MATCHES "^platform/" OR (at EQUAL -1 AND NOT inc MATCHES "^[A-Za-z_]+/[A-Za-z0-9]+Calc\\.h$"
                                      AND NOT inc MATCHES "^magnetics/[A-Za-z0-9]+\\.h$"))
        string(APPEND problems "  ${file}: ${line}\n")
      endif()
    endif()
  endforeach()
endforeach()
if(problems)
  message(FATAL_ERROR "A calculation file includes what is not calculation:\n${problems}"
                      "Calculation files include only *Calc.h headers, the magnetics library's, the standard library and: ${pure}")
endif()
if(STAMP)
  file(TOUCH "${STAMP}")
endif()
