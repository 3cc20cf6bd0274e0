# The Debian package: `cmake --build build --target package` gives build/zembra_<version>_<arch>.deb
# from the install rules of ZembraInstall. scripts/check-package.sh builds and checks it.

include(GNUInstallDirs)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zembra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Zembra project")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop alarm clock and power scheduler")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZEMBRA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Lines as dpkg shows them: at most 79 characters, "." for an empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[
Zembra keeps a list of alarms. Each has a date and time, a frequency (once,
every day, workdays, weekend, weekly, monthly, yearly), a type that says what
happens to the computer (wake up, standby, hibernate, shut down), a comment and
up to three actions: a message in a pop-up beside the clock, a sound and a
program to start.
.
The program waits behind a tray icon and arms a timer that can wake the
computer from sleep; this package grants it the capability to do so. Alarms
that fell due while the computer slept are carried out when it wakes.
zembractl reads, changes and runs alarm lists from the shell. Zembra speaks
Polish, English and German.]=])

# The libraries the programs link come from dpkg-shlibdeps. What they load at run time, which
# dpkg-shlibdeps cannot see:
#  - the xcb platform plugin, Qt Multimedia's GStreamer back end and Qt's SVG icon engine (the
#    tray icon) ship inside libqt6gui6, libqt6multimedia6 and libqt6svg6, the very packages
#    dpkg-shlibdeps names for the libraries; scripts/check-package.sh makes sure it still does;
#  - the GStreamer plugins that play alarm sounds: playbin and Ogg/Vorbis (base), and WAV, MP3,
#    FLAC, the PulseAudio sink and the automatic sink (good);
#  - setcap, which the postinst script runs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, libcap2-bin")
# They keep the menu, the file types and the icon theme's cache up to date through their dpkg
# triggers; every desktop has them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "desktop-file-utils, shared-mime-info, hicolor-icon-theme")

set(ZEMBRA_INSTALLED_BINDIR ${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR})
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/postinst.in
               ${PROJECT_BINARY_DIR}/packaging/debian/postinst @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/packaging/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Only the package is made here; the sources are in git.
set(CPACK_SOURCE_GENERATOR "")

include(CPack)
