# Installing and packaging. `cmake --install` lays the program out under a prefix; CPack
# (scripts/package) makes a Debian package of the same files, installed under /usr:
#   <prefix>/bin                      quillmere, quillmere-cli (their install rules are beside them)
#   <prefix>/share/quillmere          the sample workbooks the program opens at run time
#   <prefix>/share/applications       the desktop entry
#   <prefix>/share/metainfo           the AppStream metainfo
#   <prefix>/share/icons/hicolor      the icon: SVG, and PNG in the usual sizes
#   <prefix>/share/doc/quillmere      README.md and the documents it links (docs/); the user guide
#                                     in HTML with its pictures
#                                     (docs/CMakeLists.txt); copyright, changelog.gz
#   <prefix>/share/man/man1           the manual pages of both programs (quillmere-cli's made
#                                     from its --help when building)
#   <prefix>/share/bash-completion    completion of quillmere-cli's options and commands
# The pinyin table is compiled into the programs: nothing else is read at run time.
include(GNUInstallDirs)

set(QUILLMERE_APP_ID org.quillmere.Quillmere)
set(quillmere_packaging_source ${CMAKE_CURRENT_LIST_DIR})
set(quillmere_packaging_build ${PROJECT_BINARY_DIR}/packaging)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/导入excel文件样例
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quillmere)
configure_file(${quillmere_packaging_source}/${QUILLMERE_APP_ID}.metainfo.xml.in
               ${quillmere_packaging_build}/${QUILLMERE_APP_ID}.metainfo.xml @ONLY)
# The desktop entry, the metainfo and the desktop program's manual page come with the desktop
# program only (a build without it would offer a menu entry that starts nothing).
if(TARGET quillmere)
  install(FILES ${quillmere_packaging_source}/${QUILLMERE_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${quillmere_packaging_build}/${QUILLMERE_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillmere)
# The documents the README links, where its links find them; the user guide goes as HTML instead.
file(GLOB quillmere_docs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.md)
list(FILTER quillmere_docs EXCLUDE REGEX "用户手册\\.md$")
install(FILES ${quillmere_docs} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillmere/docs)

# The icon is drawn once, as SVG; the PNG sizes are rendered from it when the project is built.
set(quillmere_icon_svg ${quillmere_packaging_source}/icons/${QUILLMERE_APP_ID}.svg)
install(FILES ${quillmere_icon_svg}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
find_program(QUILLMERE_RSVG_CONVERT rsvg-convert)
if(QUILLMERE_RSVG_CONVERT)
  set(quillmere_icon_pngs)
  foreach(size 16 24 32 48 64 128 256)
    set(folder ${quillmere_packaging_build}/icons/${size}x${size})
    set(png ${folder}/${QUILLMERE_APP_ID}.png)
    add_custom_command(
      OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND ${QUILLMERE_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${quillmere_icon_svg}
      DEPENDS ${quillmere_icon_svg}
      VERBATIM)
    list(APPEND quillmere_icon_pngs ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  add_custom_target(quillmere_icons ALL DEPENDS ${quillmere_icon_pngs})
else()
  message(WARNING "rsvg-convert not found (scripts/install-deps installs librsvg2-bin): "
                  "the install carries the icon as SVG only")
endif()

# The manual pages, compressed as Debian keeps them; quillmere-cli's is written from its own
# --help, so that it lists exactly the commands the program has. Not for a Windows build.
if(NOT WIN32)
  set(man_folder ${quillmere_packaging_build}/man)
  set(cli_man ${man_folder}/quillmere-cli.1)
  add_custom_command(
    OUTPUT ${cli_man}.gz ${man_folder}/quillmere.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${man_folder}
    COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:quillmere-cli> -DOUTPUT=${cli_man}
            -DVERSION=${PROJECT_VERSION} -DDATE=${QUILLMERE_RELEASE_DATE}
            -P ${quillmere_packaging_source}/man/cli-man-page.cmake
    COMMAND gzip -9nf ${cli_man}
    COMMAND gzip -9nc ${quillmere_packaging_source}/man/quillmere.1 > ${man_folder}/quillmere.1.gz
    DEPENDS quillmere-cli ${quillmere_packaging_source}/man/cli-man-page.cmake
            ${quillmere_packaging_source}/man/quillmere.1
    VERBATIM)
  set(changelog ${quillmere_packaging_build}/changelog.gz)
  add_custom_command(
    OUTPUT ${changelog}
    COMMAND gzip -9nc ${quillmere_packaging_source}/debian/changelog > ${changelog}
    DEPENDS ${quillmere_packaging_source}/debian/changelog
    VERBATIM)
  add_custom_target(quillmere_man_pages ALL DEPENDS ${cli_man}.gz ${changelog})
  install(FILES ${cli_man}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  if(TARGET quillmere)
    install(FILES ${man_folder}/quillmere.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
  install(FILES ${quillmere_packaging_source}/bash-completion/quillmere-cli
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
  install(FILES ${quillmere_packaging_source}/debian/copyright ${changelog}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillmere)
endif()

# The Debian package: quillmere_<version>_<architecture>.deb, its dependencies found by
# dpkg-shlibdeps from the shared libraries the programs link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmere)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quillmere developers <developers@quillmere.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "divides an intake of students into even teaching classes")
# Debian wants the lines of the description within 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Quillmere divides a school's intake of students into teaching classes\n"
    "that come out as even as possible (sexes, class averages, score bands,\n"
    "categories, names read alike in pinyin), fine-tunes the division, shows\n"
    "per-class statistics and exports the result to workbooks.\n"
    "A desktop program in Chinese (quillmere) and a command-line program\n"
    "(quillmere-cli).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Chinese captions need a font with the characters, Qt's own dialogs their Chinese texts, and
# exported workbooks a desktop that opens them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-wqy-microhei | fonts-noto-cjk, qt6-translations-l10n, xdg-utils")
include(CPack)
