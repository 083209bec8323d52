# The browser SDL's sources shared by every build that links it (the game's
# page, levelcheck's worker, the browser replay, and the layer's own test
# built natively); each adds its system part and mixer.
set(QUADRELL_SDL_DIR ${CMAKE_CURRENT_LIST_DIR})
set(QUADRELL_SDL_SOURCES ${QUADRELL_SDL_DIR}/Video.cpp ${QUADRELL_SDL_DIR}/Image.cpp
  ${QUADRELL_SDL_DIR}/Font.cpp ${QUADRELL_SDL_DIR}/Files.cpp)
set(QUADRELL_SDL_HEADLESS_SOURCES ${QUADRELL_SDL_DIR}/HeadlessSystem.cpp ${QUADRELL_SDL_DIR}/HeadlessMixer.cpp)
set(QUADRELL_SDL_INCLUDE ${QUADRELL_SDL_DIR}/include)

# stb's headers (Debian's libstb-dev) decode the pictures, rasterise the
# text and write levelcheck's PNGs. emscripten's compiler does not look in
# /usr/include (its own C library is there too), so the three headers are
# copied into the build tree, and that folder is the one included.
find_path(QUADRELL_STB_DIR stb/stb_image.h PATHS /usr/include /usr/local/include NO_CMAKE_FIND_ROOT_PATH
  NO_DEFAULT_PATH)
if(NOT QUADRELL_STB_DIR)
  message(FATAL_ERROR "stb's headers not found: install libstb-dev (tools/install-deps.sh --tests)")
endif()
foreach(header stb_image.h stb_truetype.h stb_image_write.h)
  configure_file(${QUADRELL_STB_DIR}/stb/${header} ${CMAKE_BINARY_DIR}/stb-include/stb/${header} COPYONLY)
endforeach()
set(QUADRELL_STB_INCLUDE ${CMAKE_BINARY_DIR}/stb-include)

# A target compiled on the browser SDL: its headers before the compiler's
# own SDL (emscripten ships one), stb's as a system's (their warnings are
# not ours).
function(quadrell_use_browser_sdl target)
  target_include_directories(${target} BEFORE PRIVATE ${QUADRELL_SDL_INCLUDE})
  target_include_directories(${target} SYSTEM PRIVATE ${QUADRELL_STB_INCLUDE})
endfunction()
