# Installation as a desktop program and the Debian package `make package` builds from it with CPack.
#
# The program finds data/ beside its executable, so both live in <prefix>/lib/korvan, with the
# data's notices (NOTICE) beside them. <prefix>/games/korvan, where Debian puts games, is a relative
# symlink to the executable; the program resolves its own path through it, so it works under any
# prefix and DESTDIR. The desktop entry starts it by name, as Debian's games do (/usr/games is on
# Debian's default PATH). share/doc/korvan holds the Debian copyright file (the program's licence
# and, per data file, the notices of NOTICE), NOTICE and the changelog. `make package-check` runs
# lintian, desktop-file-validate and appstreamcli on the package.

set(KORVAN_INSTALL_DIR lib/korvan)
set(KORVAN_HOMEPAGE https://korvan.example.org/)
set(KORVAN_MAINTAINER "The Korvan developers <maintainers@korvan.example.org>")
set(KORVAN_APPSTREAM_ID org.example.korvan)

# The version is set in project() alone; the newest entries of the Debian changelog and of the
# AppStream releases must name it.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog
  ${CMAKE_CURRENT_SOURCE_DIR}/packaging/${KORVAN_APPSTREAM_ID}.metainfo.xml)
file(STRINGS packaging/changelog korvan_changelog_top LIMIT_COUNT 1)
if(NOT korvan_changelog_top MATCHES "^korvan \\(([^)]*)\\)" OR NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog: the newest entry is for version '${CMAKE_MATCH_1}', "
                      "but project() sets ${PROJECT_VERSION}; add an entry for ${PROJECT_VERSION}")
endif()
file(READ packaging/${KORVAN_APPSTREAM_ID}.metainfo.xml korvan_metainfo)
if(NOT korvan_metainfo MATCHES "<release version=\"([^\"]*)\"" OR NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/${KORVAN_APPSTREAM_ID}.metainfo.xml: the newest release is '${CMAKE_MATCH_1}', "
                      "but project() sets ${PROJECT_VERSION}; add a <release> for ${PROJECT_VERSION} first")
endif()

# The manual page and the changelog go in compressed as Debian wants them: gzip -9 without name and
# time stamp, so that the same sources give the same package.
find_program(KORVAN_GZIP gzip REQUIRED)
set(korvan_compressed)
foreach(source korvan.6 changelog)
  set(copy ${CMAKE_CURRENT_BINARY_DIR}/packaging/${source})
  add_custom_command(OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/packaging/${source} ${copy}
    COMMAND ${KORVAN_GZIP} -9nf ${copy}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/packaging/${source}
    VERBATIM)
  list(APPEND korvan_compressed ${copy}.gz)
endforeach()
add_custom_target(korvan_package_docs ALL DEPENDS ${korvan_compressed})

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS korvan.bin RUNTIME DESTINATION ${KORVAN_INSTALL_DIR})
# Bind all symbols at start-up, so the relocations can be read-only (Debian's hardening).
target_link_options(korvan.bin PRIVATE LINKER:-z,now)
install(DIRECTORY data/ DESTINATION ${KORVAN_INSTALL_DIR}/data)
install(FILES NOTICE DESTINATION ${KORVAN_INSTALL_DIR})
file(CREATE_LINK ../${KORVAN_INSTALL_DIR}/korvan.bin ${CMAKE_CURRENT_BINARY_DIR}/korvan-launcher SYMBOLIC)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/korvan-launcher DESTINATION games RENAME korvan)
install(FILES packaging/copyright NOTICE ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz DESTINATION share/doc/korvan)
# German words of the program that lintian's English spell check takes for typos; the data stays
# beside the executable by design (see above).
install(FILES packaging/lintian-overrides DESTINATION share/lintian/overrides RENAME korvan)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/korvan.6.gz DESTINATION share/man/man6)
install(FILES packaging/korvan.desktop DESTINATION share/applications)
install(FILES packaging/${KORVAN_APPSTREAM_ID}.metainfo.xml DESTINATION share/metainfo)
foreach(size 256 48)
  install(FILES packaging/korvan-${size}.png DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME korvan.png)
endforeach()

set(CPACK_PACKAGE_NAME korvan)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Korvan developers")
set(CPACK_PACKAGE_CONTACT ${KORVAN_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Turn-based hex wargame and map viewer on a map of the whole world")
# The extended description after the summary: lines of at most 80 columns, kept as written.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A single-player operational wargame on a hexagonal map of the whole world:
the player commands Blue, the computer plays Red. Units move, attack and
build bridges over rivers until the objectives are taken or the rounds
run out.

Korvan is also a detailed map viewer of countries, cities, rivers, lakes
and seas. The user interface is in German. The map data is made from
Natural Earth, the ETOPO5 relief and MODIS land cover.")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KORVAN_HOMEPAGE})
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
