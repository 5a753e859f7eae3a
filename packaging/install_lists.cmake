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

set(links)
file(REMOVE_RECURSE "${WIRLEP_LINK_DIR}")
file(MAKE_DIRECTORY "${WIRLEP_LINK_DIR}")
foreach(list IN LISTS WIRLEP_LISTS)
  get_filename_component(name "${list}" NAME)
  file(CREATE_LINK "${etc}/${name}" "${WIRLEP_LINK_DIR}/${name}" SYMBOLIC)
  list(APPEND links "${WIRLEP_LINK_DIR}/${name}")
endforeach()
file(INSTALL ${links} DESTINATION "${CMAKE_INSTALL_PREFIX}/${WIRLEP_PROGRAM_DIR}")
