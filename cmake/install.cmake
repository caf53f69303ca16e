# `cmake --install` and `cpack -G DEB`: brisklay under bin/, the setup program it copies
# under lib/brisklay/, where brisklay looks for it relative to its own folder.
include(GNUInstallDirs)
install(TARGETS brisklay RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET setup)
  install(TARGETS setup RUNTIME DESTINATION lib/brisklay)
else()
  # A native build cannot make the Windows setup program: it takes the one a Windows
  # build made (scripts/package-deb.sh runs both builds), and installs without it if
  # there is none yet.
  set(BRISKLAY_SETUP_PROGRAM ${PROJECT_SOURCE_DIR}/build/win/setup/setup.exe
      CACHE FILEPATH "The Windows build's setup.exe, installed into lib/brisklay/")
  install(FILES ${BRISKLAY_SETUP_PROGRAM} DESTINATION lib/brisklay RENAME setup.exe OPTIONAL)
endif()

set(CPACK_PACKAGE_NAME brisklay)
set(CPACK_PACKAGE_VENDOR "Brisklay")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Builds self-contained setup programs for 32-bit Windows")
set(CPACK_PACKAGE_CONTACT "Brisklay developers <brisklay@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The setup program is a Windows file: no strip or library look-up must touch it.
set(CPACK_STRIP_FILES OFF)
include(CPack)
