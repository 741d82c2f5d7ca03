# The Debian package of Kestrune, made by CPack from what `cmake --install` lays out under /usr:
#   scripts/package   (a Release tree in build-package/, then cpack -G DEB there)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrune)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "The Kestrune developers <kestrune@users.noreply.github.com>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/kestrune/kestrune")
# The libraries the program links, as dpkg-shlibdeps finds them, and the font its skin is
# drawn in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "pavucontrol")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "audio recorder by hand or by the clock")
set(CPACK_PACKAGE_DESCRIPTION
  "Kestrune records whatever the sound input delivers (a microphone, a line
input, or what the computer plays) into WAV, MP3 or WMA files, and plays
them back with seeking. It shows both channels' levels in dB with the peak
so far, pauses on silence and goes on when the sound comes back, stops after
a set time, names files from the clock, and runs a schedule of recordings on
one date, on a weekday every week or every day. It can continue an existing
file, start a recording from the command line and hide in the tray.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
