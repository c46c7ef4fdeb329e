# `cmake --build BUILD --target uninstall`: removes what the last
# `cmake --install BUILD` put in place, as it listed it in
# BUILD/install_manifest.txt, and the folders named pc-snake that this leaves
# empty (the documentation's). Folders shared with other programs stay.
#   cmake -DMANIFEST=BUILD/install_manifest.txt -P uninstall.cmake
if(NOT EXISTS "${MANIFEST}")
  cmake_path(GET MANIFEST PARENT_PATH build)
  message(FATAL_ERROR "Nothing to uninstall: there is no ${MANIFEST}, the list "
    "of what `cmake --install ${build}` put in place that it writes. Nothing was "
    "installed from this build folder, or the list was removed since.")
endif()
file(STRINGS "${MANIFEST}" installed)
set(failed "")
set(folders "")
foreach(path IN LISTS installed)
  if(NOT EXISTS "${path}" AND NOT IS_SYMLINK "${path}")
    message(STATUS "Already gone: ${path}")
    continue()
  endif()
  message(STATUS "Removing ${path}")
  file(REMOVE "${path}")
  if(EXISTS "${path}" OR IS_SYMLINK "${path}")
    list(APPEND failed "${path}")
  endif()
  cmake_path(GET path PARENT_PATH folder)
  cmake_path(GET folder FILENAME name)
  if(name STREQUAL "pc-snake")
    list(APPEND folders "${folder}")
  endif()
endforeach()
list(REMOVE_DUPLICATES folders)
foreach(folder IN LISTS folders)
  file(GLOB left "${folder}/*")
  if(NOT left)
    message(STATUS "Removing ${folder}/")
    file(REMOVE_RECURSE "${folder}")
  endif()
endforeach()
if(failed)
  string(REPLACE ";" "\n  " failed "${failed}")
  message(FATAL_ERROR "Could not remove:\n  ${failed}\n"
    "(installed by another user? Run the uninstall as the one who installed, e.g. with sudo.)")
endif()
