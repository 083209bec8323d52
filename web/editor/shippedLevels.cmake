# Writes the editor's shipped-levels.json: every data/levels/levelN.txt as
# it is, with its name and measured difficulty from the README's table of
# the shipped levels (which tools/levels_doc.py measures and prints), so the
# gallery and the live difficulty show the README's own figures.
#
#   cmake -DLEVELS=data/levels -DREADME=README.md -DOUTPUT=site/editor/shipped-levels.json -P shippedLevels.cmake
#
# Fails the build, saying why, when the table and the level files disagree.
foreach(var LEVELS README OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "shippedLevels.cmake: ${var} is not set")
  endif()
endforeach()

file(STRINGS ${README} rows REGEX "^\\| [0-9]+ \\| [^|]+ \\| [0-9]+ \\| [0-9]+ \\| [0-9]+% \\| [0-9.]+ min \\|$")
set(entries)
set(number 0)
foreach(row IN LISTS rows)
  math(EXPR number "${number} + 1")
  if(NOT row MATCHES "^\\| ([0-9]+) \\| ([^|]+) \\| ([0-9]+) \\| ([0-9]+) \\| ([0-9]+)% \\| ([0-9.]+) min \\|$")
    message(FATAL_ERROR "shippedLevels.cmake: cannot read the README's row: ${row}")
  endif()
  set(level ${CMAKE_MATCH_1})
  string(STRIP "${CMAKE_MATCH_2}" name)
  set(bricks ${CMAKE_MATCH_3})
  set(hits ${CMAKE_MATCH_4})
  set(clears ${CMAKE_MATCH_5})
  set(minutes ${CMAKE_MATCH_6})
  if(NOT level EQUAL number)
    message(FATAL_ERROR "shippedLevels.cmake: the README's table has level ${level} where level ${number} belongs")
  endif()
  set(file ${LEVELS}/level${level}.txt)
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "shippedLevels.cmake: the README's table names level ${level}, but there is no ${file}")
  endif()
  file(READ ${file} text)
  # The shipped files are plain ASCII: quotes, backslashes and line ends are all JSON needs escaped.
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  string(REPLACE "\r" "\\r" text "${text}")
  string(REPLACE "\n" "\\n" text "${text}")
  string(REPLACE "\t" "\\t" text "${text}")
  string(REPLACE "\"" "\\\"" name "${name}")
  # A semicolon would split the list of entries.
  string(REPLACE ";" "\\u003b" text "${text}")
  string(REPLACE ";" "\\u003b" name "${name}")
  list(APPEND entries "{\"number\": ${level}, \"name\": \"${name}\", \"bricks\": ${bricks}, \"hits\": ${hits}, \"clears\": ${clears}, \"minutes\": ${minutes}, \"text\": \"${text}\"}")
endforeach()
math(EXPR after "${number} + 1")
if(number EQUAL 0 OR EXISTS ${LEVELS}/level${after}.txt)
  message(FATAL_ERROR "shippedLevels.cmake: the README's table of shipped levels has ${number} rows; "
    "the levels in ${LEVELS} go on past it (redo the table with tools/levels_doc.py)")
endif()
string(REPLACE ";" ",\n  " body "${entries}")
file(WRITE ${OUTPUT}.tmp "{\"levels\": [\n  ${body}\n]}\n")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
