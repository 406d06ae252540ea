# What `cmake --install` puts where: the programs in bin/, their data in
# share/kolvex/, and what the desktop needs to list, show and describe the
# game (desktop entry, icons, AppStream metainfo, manual page). The program
# finds its data folder relative to its own place, so an install into any
# prefix works without rebuilding.
include(GNUInstallDirs)
set(KOLVEX_DATA_SUBDIR ${CMAKE_INSTALL_DATADIR}/kolvex)
file(RELATIVE_PATH kolvex_data_from_program /root/${CMAKE_INSTALL_BINDIR} /root/${KOLVEX_DATA_SUBDIR})
set_property(SOURCE ${PROJECT_SOURCE_DIR}/platform/Folders.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS KOLVEX_DATA_FROM_PROGRAM="${kolvex_data_from_program}")

set(desktop_dir ${PROJECT_SOURCE_DIR}/resources/desktop)
configure_file(${desktop_dir}/org.example.kolvex.metainfo.xml
  ${CMAKE_BINARY_DIR}/desktop/org.example.kolvex.metainfo.xml @ONLY)
configure_file(${desktop_dir}/kolvex-sim.6 ${CMAKE_BINARY_DIR}/desktop/kolvex-sim.6 @ONLY)

function(kolvex_install_rules)
  install(TARGETS kolvex kolvex-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/ui/ReadMe.rtf ${PROJECT_SOURCE_DIR}/ui/DemoData.dat
    DESTINATION ${KOLVEX_DATA_SUBDIR})
  install(FILES ${desktop_dir}/kolvex.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_BINARY_DIR}/desktop/org.example.kolvex.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${CMAKE_BINARY_DIR}/desktop/kolvex-sim.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  foreach(size 16 32 48 64 128 256)
    install(FILES ${CMAKE_BINARY_DIR}/resources/generated/icons/kolvex-${size}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME kolvex.png)
  endforeach()
endfunction()
