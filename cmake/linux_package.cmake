# Linux: what `cmake --install` puts under the prefix beside the programs (the
# desktop entry, AppStream metainfo, icons in the hicolor sizes, man pages)
# and CPack's .deb of it. The package depends on the runtime libraries the
# programs link (found by dpkg-shlibdeps) and on wxWidgets' translations.
include(GNUInstallDirs)
set(BRINDLEMARQUE_APP_ID org.brindlemarque.Brindlemarque)
set(BRINDLEMARQUE_MAINTAINER "Brindlemarque maintainers <maintainers@users.noreply.c-seed-5b7c9912.example>")
set(RELEASE_DATE 2026-12-07)  # of this version, for the metainfo
set(LINUX_DIR ${PROJECT_SOURCE_DIR}/resources/linux)
set(OUT_DIR ${PROJECT_BINARY_DIR}/linux)

set(MAN_PAGES brindlemarque-cli)

if(BRINDLEMARQUE_GUI)
  list(APPEND MAN_PAGES Brindlemarque)
  install(FILES ${LINUX_DIR}/${BRINDLEMARQUE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${LINUX_DIR}/${BRINDLEMARQUE_APP_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME ${BRINDLEMARQUE_APP_ID}.xml)
  configure_file(${LINUX_DIR}/${BRINDLEMARQUE_APP_ID}.metainfo.xml ${OUT_DIR}/${BRINDLEMARQUE_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${OUT_DIR}/${BRINDLEMARQUE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  # The icon in the hicolor sizes, rendered from the drawing of the window's icon.
  find_program(RSVG_CONVERT rsvg-convert REQUIRED)
  set(ICON_SVG ${PROJECT_SOURCE_DIR}/resources/art/icon.svg)
  set(ICON_PNGS)
  foreach(size 16 22 24 32 48 64 128 256)
    set(png ${OUT_DIR}/icons/${size}/${BRINDLEMARQUE_APP_ID}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${OUT_DIR}/icons/${size}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${ICON_SVG}
      DEPENDS ${ICON_SVG} VERBATIM)
    list(APPEND ICON_PNGS ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  install(FILES ${ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          RENAME ${BRINDLEMARQUE_APP_ID}.svg)
endif()

# Man pages and the package's changelog, compressed as Debian wants them.
set(GZIPPED)
function(brindlemarque_gzip source output)
  configure_file(${source} ${OUT_DIR}/plain/${output} @ONLY)
  add_custom_command(OUTPUT ${OUT_DIR}/${output}.gz
    COMMAND gzip -9nc ${OUT_DIR}/plain/${output} > ${OUT_DIR}/${output}.gz
    DEPENDS ${OUT_DIR}/plain/${output})
  set(GZIPPED ${GZIPPED} ${OUT_DIR}/${output}.gz PARENT_SCOPE)
endfunction()
foreach(page IN LISTS MAN_PAGES)
  brindlemarque_gzip(${PROJECT_SOURCE_DIR}/docs/man/${page}.1 ${page}.1)
  install(FILES ${OUT_DIR}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
brindlemarque_gzip(${LINUX_DIR}/changelog.Debian.in changelog.Debian)
install(FILES ${OUT_DIR}/changelog.Debian.gz ${LINUX_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/brindlemarque)
add_custom_target(linux_files ALL DEPENDS ${ICON_PNGS} ${GZIPPED})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brindlemarque)
set(CPACK_PACKAGE_VENDOR Brindlemarque)
set(CPACK_PACKAGE_CONTACT ${BRINDLEMARQUE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${BRINDLEMARQUE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)  # a helper beside the game, not a game
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(BRINDLEMARQUE_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "wx3.2-i18n")
endif()
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "crafting hotkeys from spellcraft templates onto the quickbars")
set(CPACK_PACKAGE_DESCRIPTION "For players of Dark Age of Camelot who spellcraft their gear: reads a
template saved by the spellcraft planner, works out which gems are still to
be crafted, and writes one crafting hotkey per gem into a chosen range of
quickbar slots of the character's settings file, optionally with a spacer
macro ahead of each item. Character files are replaced whole, never left
half-written.

The package holds the window (German and English) and brindlemarque-cli.")
include(CPack)
