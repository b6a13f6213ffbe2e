# libsodium, the encryption of files at rest. Gives the imported target
# Sodium::Sodium.
find_path(SODIUM_INCLUDE_DIR sodium.h)
find_library(SODIUM_LIBRARY NAMES sodium libsodium)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Sodium REQUIRED_VARS SODIUM_LIBRARY SODIUM_INCLUDE_DIR)
mark_as_advanced(SODIUM_INCLUDE_DIR SODIUM_LIBRARY)

if(Sodium_FOUND AND NOT TARGET Sodium::Sodium)
  add_library(Sodium::Sodium UNKNOWN IMPORTED)
  set_target_properties(Sodium::Sodium PROPERTIES
    IMPORTED_LOCATION "${SODIUM_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${SODIUM_INCLUDE_DIR}")
  # On Windows the headers mark every function as imported from the DLL
  # unless told the library is linked in whole (libsodium.a, not the DLL's
  # import library libsodium.dll.a).
  if(WIN32 AND SODIUM_LIBRARY MATCHES "\\.a$" AND NOT SODIUM_LIBRARY MATCHES "\\.dll\\.a$")
    set_property(TARGET Sodium::Sodium APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS SODIUM_STATIC=1)
  endif()
endif()
