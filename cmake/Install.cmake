# What `cmake --install` puts where, and the Debian package `make package` builds from it.

install(TARGETS tolvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The clock check's file, used when the program folder holds none of its own.
install(FILES res/tolvanetimetest.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/tolvane)
install(FILES res/desktop/org.tolvane.Tolvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES res/desktop/org.tolvane.Tolvane.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 24 32 48 64 128 256)
  install(FILES res/icons/hicolor/${size}x${size}/apps/tolvane.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES res/icons/tolvane.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tolvane developers")
set(CPACK_PACKAGE_CONTACT "Tolvane developers <tolvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keeps a web site's files up to date on an FTP server")
set(CPACK_PACKAGE_DESCRIPTION
    "Tolvane (トルヴェイン) keeps named upload lists of local files and the server folders
they belong in, and uploads only the files newer than the server's copies, by hand,
on a schedule or from the command line.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
# Installed into /usr, as a system package is, whatever the build's own prefix.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The build keeps its debug information; the package leaves it out.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries' packages from dpkg-shlibdeps (dpkg-dev); the Japanese font the windows need.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipaexfont-gothic | fonts-noto-cjk, qt6-translations-l10n")
include(CPack)
