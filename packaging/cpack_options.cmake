# Read by cpack for each package it makes. The source archive keeps the
# source tree's own layout; only installed packages go under /usr.
if(CPACK_INSTALLED_DIRECTORIES)
  set(CPACK_PACKAGING_INSTALL_PREFIX "")
endif()
