# The Debian package, built by scripts/package.sh: veltrano_<version>_amd64.deb
# with what `cmake --install` installs under /usr. Its dependencies on the Qt and
# system libraries come from the programs' shared libraries (dpkg-shlibdeps);
# the X11 platform plugin is loaded at run time, so it is named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veltrano)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR VELTRANO)
set(CPACK_PACKAGE_CONTACT "VELTRANO developers <veltrano@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "monitor and logger for GNSS receivers")
set(CPACK_PACKAGE_DESCRIPTION
  "VELTRANO talks to a satellite navigation receiver on a serial port or over TCP in NMEA, BINR or BINR2, \
records its raw stream to time-stamped files while decoding it live into small tool windows \
(position, accuracy statistics, satellites, a scatter plot with a sky view, an altitude profile \
and signal-to-noise bars), plays recordings back, writes binary streams as NMEA text and sends \
receiver commands. It comes with veltrano-cli, which decodes, converts, analyses and exports \
recordings and synchronises, records and commands receivers without the windows, and veltrano-sim, \
a simulated receiver on a pseudo-terminal or a TCP port.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/veltrano/veltrano)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-dejavu-core)
include(CPack)
