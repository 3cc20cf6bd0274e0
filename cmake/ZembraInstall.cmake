# `cmake --install` lays Zembra out in the standard places of a Linux desktop, so that the
# program shows in the menu with its icon, opens .zmb files on a double click and has manual
# pages. The Debian package (ZembraDebPackage) is made from these same rules.
#
#   bin/zembra, bin/zembractl
#   share/zembra/Tips*.lng              found from bin/ as ../share/zembra (CTipsFile)
#   share/applications/org.brelko.Zembra.desktop
#                                       the menu entry, named after the application id, as the
#                                       program names itself (QGuiApplication::desktopFileName)
#                                       and as it is known on the session bus
#   share/mime/packages/zembra.xml      application/x-zembra: *.zmb, or a <Zembra root
#   share/icons/hicolor/                the program's and the list's icons, SVG and PNG
#   share/metainfo/<id>.metainfo.xml    what software centres show
#   share/man/man1/zembra.1.gz, zembractl.1.gz
#   share/doc/zembra/copyright, changelog.gz
#
# The help pages need nothing here: they are compiled into the program as Qt resources.

include(GNUInstallDirs)

# The application id (src/settings/ApplicationId.h): the AppStream id, the desktop entry's name and
# the program's bus name are one.
set(ZEMBRA_APPSTREAM_ID "org.brelko.Zembra")
set(ZEMBRA_HOMEPAGE_URL "https://zembra.example.org/" CACHE STRING
    "Home page named in the AppStream metainfo file")
set(ZEMBRA_SCREENSHOT_URL "https://zembra.example.org/main-window.png" CACHE STRING
    "Where software centres fetch the screenshot of the main window (docs/main-window.png)")
set(ZEMBRA_PACKAGE_MAINTAINER "Zembra maintainers <maintainers@users.noreply.c-seed-fa82187b.example>"
    CACHE STRING "Maintainer named in the Debian package and its changelog")

# Panels and menus that take no SVG pick the PNG size nearest to what they draw.
set(ZEMBRA_ICON_SIZES 16 22 24 32 48 64 128 256)

set(ZEMBRA_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(ZEMBRA_GENERATED_DIR ${PROJECT_BINARY_DIR}/packaging)
set(ZEMBRA_ICON_DIR ${ZEMBRA_GENERATED_DIR}/icons)
set(ZEMBRA_METAINFO_FILE ${ZEMBRA_GENERATED_DIR}/${ZEMBRA_APPSTREAM_ID}.metainfo.xml)

install(TARGETS zembra zembractl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
    return()
endif()

# ---- the release: the newest entry of the metainfo file's release notes --------------------

file(READ ${ZEMBRA_PACKAGING_DIR}/zembra.metainfo.xml.in _zembra_metainfo)
string(REGEX MATCH "<release version=\"([^\"]+)\" date=\"([0-9-]+)\"" _zembra_release
       "${_zembra_metainfo}")
set(ZEMBRA_RELEASE_VERSION ${CMAKE_MATCH_1})
set(ZEMBRA_RELEASE_DATE ${CMAKE_MATCH_2})
if(NOT ZEMBRA_RELEASE_VERSION STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "packaging/zembra.metainfo.xml.in: the newest release is "
                        "'${ZEMBRA_RELEASE_VERSION}', the project is ${PROJECT_VERSION}; "
                        "add the release notes of ${PROJECT_VERSION} at the top of <releases>")
endif()
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C date -u -R -d "${ZEMBRA_RELEASE_DATE} 12:00"
    OUTPUT_VARIABLE ZEMBRA_RELEASE_DATE_RFC2822
    OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)

# ---- icons: the project's own SVG drawings, and PNGs rendered from them at build time --------

add_executable(zembra-render-icon ${ZEMBRA_PACKAGING_DIR}/render-icon/main.cpp)
target_link_libraries(zembra-render-icon PRIVATE zembra_common Qt6::Svg Qt6::Gui)
set_target_properties(zembra-render-icon PROPERTIES AUTOMOC OFF)

set(_zembra_icon_pngs)
foreach(icon "apps;zembra;${PROJECT_SOURCE_DIR}/res/images/zembra.svg"
             "mimetypes;application-x-zembra;${PROJECT_SOURCE_DIR}/res/images/application-x-zembra.svg")
    list(GET icon 0 context)
    list(GET icon 1 name)
    list(GET icon 2 svg)
    set(outputs)
    foreach(size IN LISTS ZEMBRA_ICON_SIZES)
        list(APPEND outputs ${ZEMBRA_ICON_DIR}/${size}x${size}/${context}/${name}.png)
    endforeach()
    # In a sanitizer build the tool is instrumented too; what Qt keeps until exit is no leak of
    # ours and must not fail the build.
    add_custom_command(OUTPUT ${outputs}
        COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
                $<TARGET_FILE:zembra-render-icon> ${svg} ${ZEMBRA_ICON_DIR} ${context} ${name}
                ${ZEMBRA_ICON_SIZES}
        DEPENDS zembra-render-icon ${svg}
        COMMENT "Rendering the ${name} icon into PNG"
        VERBATIM)
    list(APPEND _zembra_icon_pngs ${outputs})
    install(FILES ${svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/${context}
            RENAME ${name}.svg)
endforeach()

# ---- manual pages and the package's changelog, compressed as Debian wants them ---------------

configure_file(${ZEMBRA_PACKAGING_DIR}/debian/changelog.in ${ZEMBRA_GENERATED_DIR}/changelog @ONLY)
configure_file(${ZEMBRA_PACKAGING_DIR}/zembra.metainfo.xml.in ${ZEMBRA_METAINFO_FILE} @ONLY)

set(_zembra_gzipped)
foreach(source ${ZEMBRA_PACKAGING_DIR}/man/zembra.1 ${ZEMBRA_PACKAGING_DIR}/man/zembractl.1
               ${ZEMBRA_GENERATED_DIR}/changelog)
    get_filename_component(name ${source} NAME)
    set(copy ${ZEMBRA_GENERATED_DIR}/gz/${name})
    # -n: no name or time stamp inside, so that the same sources give the same package.
    add_custom_command(OUTPUT ${copy}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
        COMMAND gzip -9nf ${copy}
        DEPENDS ${source}
        VERBATIM)
    list(APPEND _zembra_gzipped ${copy}.gz)
endforeach()

add_custom_target(zembra_install_data ALL DEPENDS ${_zembra_icon_pngs} ${_zembra_gzipped})

# ---- where each piece goes -------------------------------------------------------------------

install(FILES ${PROJECT_SOURCE_DIR}/res/tips/TipsPL.lng ${PROJECT_SOURCE_DIR}/res/tips/TipsEN.lng
              ${PROJECT_SOURCE_DIR}/res/tips/TipsGER.lng
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zembra)
install(FILES ${ZEMBRA_PACKAGING_DIR}/${ZEMBRA_APPSTREAM_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ZEMBRA_PACKAGING_DIR}/zembra-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME zembra.xml)
install(DIRECTORY ${ZEMBRA_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${ZEMBRA_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ZEMBRA_GENERATED_DIR}/gz/zembra.1.gz ${ZEMBRA_GENERATED_DIR}/gz/zembractl.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${ZEMBRA_PACKAGING_DIR}/debian/copyright ${ZEMBRA_GENERATED_DIR}/gz/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zembra)
