# The layers and the one direction they may use each other in:
#   symbology <- system
#   symbology <- drawing
#   drawing, system <- sheet <- print, settings <- ui <- app
# (the command line in app/ uses print and settings, not ui).
# Every layer's headers are included as "layer/name.h". A layer's include root
# holds its own folder and nothing else, and a layer sees the roots of the
# layers it links, so a header of a higher layer is not found at all: an
# include against the direction fails the build.

# linomark_layer(NAME [USES lower layers and libraries...])
function(linomark_layer name)
  cmake_parse_arguments(ARG "" "" "USES" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  add_library(${name} STATIC ${sources})
  set(root ${CMAKE_BINARY_DIR}/include-roots/${name})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${name} SYMBOLIC)
  target_include_directories(${name} PUBLIC ${root})
  target_link_libraries(${name} PUBLIC ${ARG_USES})
endfunction()
