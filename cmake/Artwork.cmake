# vinarca_add_artwork(<target> <area> <name>...)
# Renders resources/<area>/<name>.svg at build time and compiles the raw
# pictures, uncompressed, into <target> as :/<area>/<name>.img.
function(vinarca_add_artwork target area)
  set(pngs)
  set(args)
  set(svgs)
  foreach(name IN LISTS ARGN)
    set(svg ${PROJECT_SOURCE_DIR}/resources/${area}/${name}.svg)
    set(png ${CMAKE_CURRENT_BINARY_DIR}/art/${area}/${name}.img)
    list(APPEND svgs ${svg})
    list(APPEND pngs ${png})
    list(APPEND args ${svg} ${png})
  endforeach()
  add_custom_command(
    OUTPUT ${pngs}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/art/${area}
    COMMAND svg2png ${args}
    DEPENDS svg2png ${svgs}
    COMMENT "Rendering the ${area} artwork"
    VERBATIM)
  qt_add_resources(${target} ${area}_art
    PREFIX /${area}
    OPTIONS -no-compress
    BASE ${CMAKE_CURRENT_BINARY_DIR}/art/${area}
    FILES ${pngs})
endfunction()
