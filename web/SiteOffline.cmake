# Writes the site's service worker (site/sw.js from web/sw.js) with the
# list of the site's files, each with its SHA-256, and the build's name,
# made from that list: a build whose files differ in any byte gets a new
# worker and a new cache. Run after everything else is in the site:
#
#   cmake -DSITE=build-web/site -DSOURCE=web/sw.js -P web/SiteOffline.cmake
#
# sw.js is rewritten only when it changes, so an unchanged site keeps its
# worker.
file(GLOB_RECURSE files RELATIVE ${SITE} LIST_DIRECTORIES false ${SITE}/*)
list(REMOVE_ITEM files sw.js)
list(SORT files)
set(entries)
foreach(file IN LISTS files)
  if(NOT file MATCHES "^[A-Za-z0-9_./-]+$")
    message(FATAL_ERROR "SiteOffline: ${file}: a site file name the worker cannot list")
  endif()
  file(SHA256 ${SITE}/${file} hash)
  list(APPEND entries "\"${file}\":\"${hash}\"")
endforeach()
list(JOIN entries "," json)
set(json "{${json}}")
string(SHA256 build "${json}")
string(SUBSTRING ${build} 0 16 build)
file(READ ${SOURCE} text)
string(REPLACE "@QUADRELL_BUILD@" "${build}" text "${text}")
string(REPLACE "@QUADRELL_FILES@" "${json}" text "${text}")
set(old "")
if(EXISTS ${SITE}/sw.js)
  file(READ ${SITE}/sw.js old)
endif()
if(NOT old STREQUAL text)
  file(WRITE ${SITE}/sw.js "${text}")
endif()
