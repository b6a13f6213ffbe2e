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
  add_dependencies(${target} ${target}_layers)
endfunction()
