# Run by CPack before it makes the packages: without dpkg-shlibdeps (or the
# file program, by which CPack finds what to give it) CPack would quietly
# make packages that depend on nothing.
foreach(tool dpkg-shlibdeps file)
  find_program(found_${tool} ${tool})
  if(NOT found_${tool})
    message(FATAL_ERROR "${tool} is missing: the packages' dependencies are worked out "
      "by dpkg-shlibdeps (Debian package dpkg-dev) and file (package file); "
      "`sudo tools/install-deps.sh` installs them.")
  endif()
endforeach()
