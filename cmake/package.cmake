# The Debian packages, made by CPack from what the build installs
# (`cmake --build BUILD --target package`, or `cpack --config BUILD/CPackConfig.cmake`) into
# BUILD/packages/ as NAME_VERSION_ARCH.deb:
#   pc-snake        the programs, their manual pages and bash completion, README,
#                   the licence as copyright, a changelog; recommends the two below
#   pc-snake-video  the module behind snake-render --video (FFmpeg's libraries)
#   pc-snake-wav    the module behind --wav and wav-xy (libsndfile)
# dpkg-shlibdeps works out each package's Depends from its own files, so that
# pc-snake alone pulls in neither FFmpeg nor libsndfile. Included last, when
# every install() rule is known.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pc-snake)
set(CPACK_PACKAGE_VENDOR "The pc-snake developers")
set(CPACK_PACKAGE_CONTACT
  "The pc-snake developers <maintainers@users.noreply.c-seed-2f28a3d1.example>"
  CACHE STRING "The packages' Maintainer field")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package_tools.cmake)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Folders the system's other packages own keep the usual modes whatever the umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# One package a component: the programs' (the default component) and the
# modules'. The docs component is for `cmake --install` alone.
set(CPACK_DEB_COMPONENT_INSTALL ON)
get_cmake_property(CPACK_COMPONENTS_ALL COMPONENTS)
list(REMOVE_ITEM CPACK_COMPONENTS_ALL docs)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_NAME pc-snake)
set(CPACK_COMPONENT_UNSPECIFIED_DESCRIPTION
  "simulator of a Snake game for an XY vector display
pc-snake runs the game module of a small device whose only output is an
analogue XY beam, as on an oscilloscope screen, and writes its frames.
.
 pc-snake: one frame as a PPM image, as the device's display shows it.
 snake-render: frames as PNG, GIF or video, exact or on a glowing tube,
   with other key scripts, the beam's budget and path, and the beam as
   XY audio in a WAV file.
 snake-play: the game in a window, played with the keyboard.
 wav-xy: a WAV file drawn as an oscilloscope in XY mode shows it.
.
Video and WAV output come with the packages pc-snake-video and
pc-snake-wav.")
set(recommended "")
foreach(module video wav)
  if(NOT module IN_LIST CPACK_COMPONENTS_ALL)
    continue()
  endif()
  string(TOUPPER ${module} upper)
  set(CPACK_DEBIAN_${upper}_PACKAGE_NAME pc-snake-${module})
  # The module and the program that loads it come from one build.
  set(CPACK_COMPONENT_${upper}_DEPENDS Unspecified)
  list(APPEND recommended pc-snake-${module})
endforeach()
list(JOIN recommended ", " CPACK_DEBIAN_UNSPECIFIED_PACKAGE_RECOMMENDS)
set(CPACK_COMPONENT_VIDEO_DESCRIPTION
  "video output of the pc-snake simulator
The module through which snake-render writes its frames as MP4 (H.264) or
WebM (VP9) video with FFmpeg's libraries.")
set(CPACK_COMPONENT_WAV_DESCRIPTION
  "WAV output of the pc-snake simulator
The module through which snake-render writes the beam as XY audio in a WAV
file, and wav-xy reads one, with libsndfile.")

# Each package's documentation as Debian names it: the licence as copyright,
# a changelog, and beside the programs the README, the larger two gzipped.
# Installed only into the packages.
find_program(GZIP gzip REQUIRED)
set(debian_docs ${PROJECT_BINARY_DIR}/debian)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(changelog_epoch $ENV{SOURCE_DATE_EPOCH})
else()
  set(changelog_epoch ${PC_SNAKE_RELEASE_EPOCH})
endif()
set(saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${changelog_epoch})
string(TIMESTAMP changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(ENV{SOURCE_DATE_EPOCH} "${saved_epoch}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${debian_docs}/changelog @ONLY)
set(gzipped "")
foreach(doc ${debian_docs}/changelog ${PROJECT_SOURCE_DIR}/README.md)
  cmake_path(GET doc FILENAME name)
  add_custom_command(OUTPUT ${debian_docs}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${debian_docs}/${name}.gz
            -P ${PROJECT_SOURCE_DIR}/cmake/run_to_file.cmake ${GZIP} -9 -n -c ${doc}
    DEPENDS ${doc} ${PROJECT_SOURCE_DIR}/cmake/run_to_file.cmake
    COMMENT "Compressing ${name} for the packages" VERBATIM)
  list(APPEND gzipped ${debian_docs}/${name}.gz)
endforeach()
add_custom_target(package-docs ALL DEPENDS ${gzipped})
foreach(component IN LISTS CPACK_COMPONENTS_ALL)
  string(TOUPPER ${component} upper)
  set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
  install(FILES LICENSE DESTINATION ${doc_dir} RENAME copyright
    COMPONENT ${component} EXCLUDE_FROM_ALL)
  install(FILES ${debian_docs}/changelog.gz DESTINATION ${doc_dir}
    COMPONENT ${component} EXCLUDE_FROM_ALL)
endforeach()
install(FILES ${debian_docs}/README.md.gz DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/pc-snake
  COMPONENT Unspecified EXCLUDE_FROM_ALL)

include(CPack)
