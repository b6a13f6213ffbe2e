# somnary_layer(<target> USES <folder>...): the sources of the target's folder
# may include only from that folder and the folders named. The check runs
# before the target compiles, so a wrong-way include fails the build even
# where the header would compile.
function(somnary_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "USES")
  get_filename_component(folder "${CMAKE_CURRENT_SOURCE_DIR}" NAME)
  file(GLOB files CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.h" "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  set(stamp "${CMAKE_CURRENT_BINARY_DIR}/${target}_layers.stamp")
  add_custom_command(OUTPUT "${stamp}"
    COMMAND ${CMAKE_COMMAND} "-DFOLDER=${folder}" "-DALLOWED=${folder};${arg_USES}"
            "-DFILES=${files}" "-DSTAMP=${stamp}" -P "${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake"
    DEPENDS ${files} "${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake"
    COMMENT "Checking the includes of src/${folder}"
    VERBATIM)
  add_custom_target(${target}_layers DEPENDS "${stamp}")
  # The layering tests check a probe against the same rule.
  set_property(TARGET ${target} PROPERTY SOMNARY_USES "${folder};${arg_USES}")
  add_dependencies(${target} ${target}_layers)
endfunction()

# somnary_library(<target> SOURCES <file>... LINK <public deps>... USES <folder>...):
# a static library of the current folder with src/ alone on its include
# path, linking what it may use and checked by somnary_layer.
function(somnary_library target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LINK;USES")
  add_library(${target} STATIC ${arg_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC ${arg_LINK})
  somnary_layer(${target} USES ${arg_USES})
endfunction()
