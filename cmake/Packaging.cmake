# Installation into a freedesktop layout and the Debian package made from it by CPack.
# `cmake --install BUILD --prefix DIR` lays out the programs, the launcher, the icons, the
# AppStream metainfo and the manual page; `cpack -G DEB` in the build folder packs the same tree.

include(GNUInstallDirs)

# The application id names the launcher, the metainfo file and the installed icon; the editor
# uses the same id (src/app/DesktopEntry.h) for its window icon and desktop file name.
set(QXPAN_APP_ID "io.github.qxpan.QXPan")

install(TARGETS qxpan qxpan-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS qxpan-cli-commands LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/qxpan)

install(FILES "${PROJECT_SOURCE_DIR}/res/desktop/${QXPAN_APP_ID}.desktop"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${PROJECT_SOURCE_DIR}/res/metainfo/${QXPAN_APP_ID}.metainfo.xml"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The PNGs are drawn from the SVG by scripts/make-res-pictures and checked in.
foreach(size 48 128)
    install(FILES "${PROJECT_SOURCE_DIR}/res/icons/qxpan-${size}.png"
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${QXPAN_APP_ID}.png)
endforeach()
install(FILES "${PROJECT_SOURCE_DIR}/res/qxpan.svg"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${QXPAN_APP_ID}.svg)

# The package's copyright statement and change log, where Debian looks for them.
set(QXPAN_DOC_DIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/qxpan")
install(FILES "${PROJECT_SOURCE_DIR}/docs/copyright" DESTINATION ${QXPAN_DOC_DIR})

# Debian ships manual pages and change logs compressed; -n keeps the archive free of a time stamp.
find_program(QXPAN_GZIP gzip)
set(QXPAN_PACKED_OUTPUTS)
foreach(source_and_destination "docs/qxpan.1|${CMAKE_INSTALL_MANDIR}/man1"
        "docs/qxpan-cli.1|${CMAKE_INSTALL_MANDIR}/man1" "docs/changelog|${QXPAN_DOC_DIR}")
    string(REPLACE "|" ";" parts "${source_and_destination}")
    list(GET parts 0 relative)
    list(GET parts 1 destination)
    set(source "${PROJECT_SOURCE_DIR}/${relative}")
    get_filename_component(name "${relative}" NAME)
    if(QXPAN_GZIP)
        set(packed "${CMAKE_CURRENT_BINARY_DIR}/packed/${name}.gz")
        add_custom_command(OUTPUT "${packed}"
            COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_CURRENT_BINARY_DIR}/packed"
            COMMAND "${QXPAN_GZIP}" -9 -n -c "${source}" > "${packed}"
            DEPENDS "${source}"
            COMMENT "Compressing ${relative}"
            VERBATIM)
        list(APPEND QXPAN_PACKED_OUTPUTS "${packed}")
        install(FILES "${packed}" DESTINATION ${destination})
    else()
        install(FILES "${source}" DESTINATION ${destination})
    endif()
endforeach()
if(QXPAN_PACKED_OUTPUTS)
    # Built with everything, so the install check (tests/packaging) finds the packed files.
    add_custom_target(qxpan_packed_docs ALL DEPENDS ${QXPAN_PACKED_OUTPUTS})
endif()

# Debian package: build/package/qxpan_<version>_<arch>.deb from `make package`.
set(QXPAN_PACKAGE_MAINTAINER "QXPan developers <qxpan@example.org>"
    CACHE STRING "Maintainer field of the Debian package (Name <address>)")

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "qxpan")
set(CPACK_PACKAGE_VENDOR "QXPan developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen layout editor for an electronic cash register")
set(CPACK_PACKAGE_CONTACT "${QXPAN_PACKAGE_MAINTAINER}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QXPAN_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The long description; CPack puts the summary above it and indents it as Debian wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "QXPan composes the screen logo and the check windows of an electronic cash
register on an 800 x 600 design area from a background picture, placed bitmaps
and rectangular or round key and table objects, keeps designs as panel files
and converts them into the register's screen and key table program files.

The package also holds qxpan-cli, which encodes, decodes, previews and
converts screen files without a display.")
# The Qt runtime is named outright (the platform plugins are not a linked library, so the
# library scan below cannot find them); libc, libstdc++ and the rest come from that scan.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), qt6-qpa-plugins")
find_program(QXPAN_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(QXPAN_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
find_program(QXPAN_DPKG dpkg)
if(QXPAN_DPKG)
    execute_process(COMMAND "${QXPAN_DPKG}" --print-architecture
                    OUTPUT_VARIABLE QXPAN_DEB_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE)
else()
    set(QXPAN_DEB_ARCH "amd64")
endif()
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE "${QXPAN_DEB_ARCH}")
set(CPACK_DEBIAN_FILE_NAME "qxpan_${PROJECT_VERSION}_${QXPAN_DEB_ARCH}.deb")

include(CPack)
