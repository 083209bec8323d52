# Where an install puts Quadrell: Debian's layout for games, every folder
# relative to the install prefix (so `cmake --install build --prefix P` and
# DESTDIR staging both work). The launcher and levelcheck find the game and
# its data relative to their own location, from the paths worked out here.
set(CMAKE_INSTALL_DOCDIR share/doc/quadrell CACHE PATH "README, copyright and changelog")
include(GNUInstallDirs)
set(QUADRELL_INSTALL_GAMESDIR games CACHE PATH
  "The launcher quadrell and quadrell-levelcheck (relative to the prefix)")
set(QUADRELL_INSTALL_LIBDIR lib/games/quadrell CACHE PATH
  "The game binary, which players do not start directly (relative to the prefix)")
set(QUADRELL_INSTALL_DATADIR ${CMAKE_INSTALL_DATAROOTDIR}/games/quadrell CACHE PATH
  "The folder holding the game's data/ (relative to the prefix)")

# quadrell_relative_path(<var> <from> <to>): the path from install folder
# <from> to install path <to>, both as given above (relative to the prefix,
# or absolute).
function(quadrell_relative_path var from to)
  foreach(path from to)
    if(NOT IS_ABSOLUTE "${${path}}")
      set(${path} "${CMAKE_INSTALL_PREFIX}/${${path}}")
    endif()
  endforeach()
  file(RELATIVE_PATH relative "${from}" "${to}")
  set(${var} "${relative}" PARENT_SCOPE)
endfunction()

# quadrell_installed_path(<var> <path>): where install path <path> lands,
# as text for install(CODE), which honours --prefix and DESTDIR.
function(quadrell_installed_path var path)
  if(IS_ABSOLUTE "${path}")
    set(${var} "\$ENV{DESTDIR}${path}" PARENT_SCOPE)
  else()
    set(${var} "\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${path}" PARENT_SCOPE)
  endif()
endfunction()
