# The word lists of an install as a game are configuration files, in the
# folder wirlep_lists_folder() names. Included by packaging/CMakeLists.txt,
# which names the Debian package's conffiles by it, and, with WIRLEP_LISTS
# set, run by `cmake --install` and CPack: it then installs the lists there,
# and links to them in WIRLEP_PROGRAM_DIR, where the program reads them.

# wirlep_lists_folder(PREFIX SYSCONFDIR OUT): the lists' folder for an
# install into PREFIX. The prefix /usr keeps its configuration in /etc, as
# GNUInstallDirs has it (and where a Debian package's conffiles must be);
# any other prefix in its own etc/, so that an install into /usr/local
# leaves /etc alone, as a packager expects of a --prefix.
function(wirlep_lists_folder prefix sysconfdir out)
  if(IS_ABSOLUTE "${sysconfdir}")
    set(etc "${sysconfdir}/wirlep")
  elseif(prefix MATCHES "^/usr/?$")
    set(etc "/${sysconfdir}/wirlep")
  else()
    set(etc "${prefix}/${sysconfdir}/wirlep")
  endif()
  set(${out} "${etc}" PARENT_SCOPE)
endfunction()

if(NOT DEFINED WIRLEP_LISTS)
  return()
endif()

# The links are absolute: they lead out of the prefix's tree (from /usr to
# /etc), and DESTDIR is only where the tree is staged, not where the program
# will find its lists.
wirlep_lists_folder("${CMAKE_INSTALL_PREFIX}" "${WIRLEP_SYSCONFDIR}" etc)
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
