# Remakes every file of web/sdl/glyphs/ into a scratch folder and fails on
# any byte of difference from the committed one, so that the browser's text
# never drifts from the desktop's. Run by ctest (tools_font_glyphs_current):
#   cmake -DTOOL=font-glyphs -DSOURCE=<repo> -DSCRATCH=<folder> -P GlyphsCurrent.cmake
include(${SOURCE}/web/sdl/glyphs/glyphs.cmake)
file(MAKE_DIRECTORY ${SCRATCH})
foreach(font_size IN LISTS QUADRELL_GLYPH_FONTS)
  string(REPLACE ":" ";" parts ${font_size})
  list(GET parts 0 font)
  list(GET parts 1 size)
  set(made ${SCRATCH}/${font}-${size}.glyphs)
  execute_process(COMMAND ${TOOL} ${SOURCE}/data/fonts/${font}.ttf ${size} ${made} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "font-glyphs failed on ${font} at ${size} points (${status})")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${made} ${QUADRELL_GLYPHS_DIR}/${font}-${size}.glyphs
    RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    message(FATAL_ERROR "web/sdl/glyphs/${font}-${size}.glyphs is not what the desktop's SDL_ttf draws now: "
      "remake it with: cmake --build build --target glyphs")
  endif()
endforeach()
