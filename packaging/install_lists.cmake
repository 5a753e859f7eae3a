# Run by `cmake --install` and CPack: installs the word lists as
# configuration files, in WIRLEP_SYSCONFDIR/wirlep of the prefix installed
# to, and links to them in WIRLEP_PROGRAM_DIR, where the program reads them.
#
# The prefix /usr keeps its configuration in /etc, as GNUInstallDirs has it
# (and where a Debian package's conffiles must be); any other prefix in its
# own etc/, so that an install into /usr/local leaves /etc alone, as a
# packager expects of a --prefix. The links are absolute: they lead out of
# the prefix's tree (from /usr to /etc), and DESTDIR is only where the tree
# is staged, not where the program will find its lists.
if(IS_ABSOLUTE "${WIRLEP_SYSCONFDIR}")
  set(etc "${WIRLEP_SYSCONFDIR}/wirlep")
elseif(CMAKE_INSTALL_PREFIX MATCHES "^/usr/?$")
  set(etc "/${WIRLEP_SYSCONFDIR}/wirlep")
else()
  set(etc "${CMAKE_INSTALL_PREFIX}/${WIRLEP_SYSCONFDIR}/wirlep")
endif()
file(INSTALL ${WIRLEP_LISTS} DESTINATION "${etc}")

# Made in place rather than copied from the build tree, which an install as
# root would leave files in that a later one as its user could not replace.
foreach(list IN LISTS WIRLEP_LISTS)
  get_filename_component(name "${list}" NAME)
  set(link "${CMAKE_INSTALL_PREFIX}/${WIRLEP_PROGRAM_DIR}/${name}")
  message(STATUS "Installing: $ENV{DESTDIR}${link} -> ${etc}/${name}")
  file(CREATE_LINK "${etc}/${name}" "$ENV{DESTDIR}${link}" SYMBOLIC)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${link}")
endforeach()
