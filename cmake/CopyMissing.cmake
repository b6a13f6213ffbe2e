# Copies every file of SOURCE into DEST unless it is already there, so a
# rebuild never overwrites the settings or the diary a user keeps beside
# the program.
file(GLOB_RECURSE files RELATIVE "${SOURCE}" "${SOURCE}/*")
foreach(f IN LISTS files)
  if(NOT EXISTS "${DEST}/${f}")
    get_filename_component(dir "${DEST}/${f}" DIRECTORY)
    file(MAKE_DIRECTORY "${dir}")
    file(COPY "${SOURCE}/${f}" DESTINATION "${dir}")
  endif()
endforeach()
