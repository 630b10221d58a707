# `cmake --build build --target package` makes a Debian package of what `cmake --install` installs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lobara)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "${LOBARA_DEVELOPER}")
set(CPACK_PACKAGE_CONTACT "${LOBARA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for real spherical harmonics")
set(CPACK_PACKAGE_DESCRIPTION
    "Lobara draws the real spherical harmonic Y(l, m) as a polar-plot surface, each
direction scaled by |Y|, with the positive and negative lobes lit and shaded
in two colours. Degree, order, sampling, colour scheme and camera are set in
dialogs, and the surface is turned, panned and zoomed with the mouse. The
user interface is in Japanese.

${LOBARA_RENDER_DESCRIPTION}")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${LOBARA_HOMEPAGE}")
# Library dependencies come from the binaries; the dialogs are laid out in this Japanese font.
# lobara-render draws the text of its pictures in DejaVu Sans, which fontconfig finds by family.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-dejavu-core)
if(LOBARA_PYTHON)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ${LOBARA_PYTHON_DEPENDS}")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-ipafont-gothic)
include(CPack)
