# The fonts the game opens, at the sizes it opens them, as the desktop's
# SDL_ttf draws them (tools/fontglyphs): the browser builds draw text from
# these files instead of the .ttf files. Remake them after changing a font,
# a size or the desktop's SDL_ttf: cmake --build build --target glyphs
# (tools_font_glyphs_current fails until they are).
set(QUADRELL_GLYPHS_DIR ${CMAKE_CURRENT_LIST_DIR})
set(QUADRELL_GLYPH_FONTS nocontrol:24 arial:14 nocontrol:14)
set(QUADRELL_GLYPH_FILES)
foreach(font_size IN LISTS QUADRELL_GLYPH_FONTS)
  string(REPLACE ":" "-" name ${font_size})
  list(APPEND QUADRELL_GLYPH_FILES ${QUADRELL_GLYPHS_DIR}/${name}.glyphs)
endforeach()
