# Installation and the Debian package. The programs go to bin/, the runtime and the plug-in to a private
# lib/quillfeed/, everything under resources/ (skins, sample feeds, ...) to share/quillfeed/. The programs
# find lib/ and share/ from their own location (qfdevice/install_layout.h), so any prefix works.
set(QF_LIB_DIR lib/quillfeed)
set(QF_SHARE_DIR share/quillfeed)

# Installed programs find the runtime beside the plug-in; the plug-in finds it in its own folder.
set(QF_PROGRAMS quillfeed)
if(TARGET quillfeed-emu)
    list(APPEND QF_PROGRAMS quillfeed-emu)
endif()
set_target_properties(${QF_PROGRAMS} PROPERTIES INSTALL_RPATH "$ORIGIN/../${QF_LIB_DIR}")
set_target_properties(quillfeedtoday PROPERTIES INSTALL_RPATH "$ORIGIN")

install(TARGETS ${QF_PROGRAMS} RUNTIME DESTINATION bin)
install(TARGETS qfdevice quillfeedtoday LIBRARY DESTINATION ${QF_LIB_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/ DESTINATION ${QF_SHARE_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION share/doc/quillfeed)

# The build tree mirrors share/quillfeed, so programs run from it find the resources the same way.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/share)
file(CREATE_LINK ${CMAKE_SOURCE_DIR}/resources ${CMAKE_BINARY_DIR}/${QF_SHARE_DIR} SYMBOLIC)

set(CPACK_PACKAGE_NAME quillfeed)
set(CPACK_PACKAGE_VENDOR "Quillfeed Today team")
set(CPACK_PACKAGE_CONTACT "Quillfeed Today team <quillfeed@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Feed headlines in the Today screen of an emulated Pocket PC")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Quillfeed Today shows the newest headlines of RSS and Atom feeds in an item of an emulated Pocket PC\n"
    "Today screen. The package holds the item, the device runtime it runs on, the companion command line\n"
    "quillfeed, the emulator quillfeed-emu, default skins and sample feeds.")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The shared libraries come from dpkg-shlibdeps; the fonts the device draws with are files, not links, and
# libcurl is loaded when the first download starts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/device ${CMAKE_BINARY_DIR}/src)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, libcurl4")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine")
include(CPack)
