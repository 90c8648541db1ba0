# The Debian package, built by CPack's DEB generator (tools/package runs it).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pellar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Pellar Maintainers <maintainers@pellar.example>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pellar Maintainers <maintainers@pellar.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "firmware updater for HID devices")
# The summary above is the first line; CPack indents these lines and marks the empty one.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Pellar updates the firmware of devices that attach as HID peripherals: it
lists the attached HID devices, sends the files named by an update list over
the devices' command protocol in 1024-byte reports, and reads and writes their
identity fields and version.

It comes as a Qt window (pellar), a station window that flashes many devices
at once on a production line (pellar-station), and a command-line program for
scripts (pellar-cli), which also builds packet files and writes udev rules that
let a normal user open a device.")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://pellar.example/")
# Depends from the libraries the programs link, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# Only the package's own folders, so that it does not claim /usr or /usr/bin.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
