# Run by CPack once the package is made: packs it again with dpkg-deb
# (pack.sh deb, run with the build's date), as CPack gives the archives in it
# the permissions the umask leaves, and the folders of its tree as well.
foreach(file IN LISTS CPACK_PACKAGE_FILES)
  if(file MATCHES "\\.deb$")
    execute_process(COMMAND ${CPACK_WIRLEP_PACK} deb "${file}" COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
