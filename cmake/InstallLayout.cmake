# Where the build puts the audio modules and where an install puts the program, the modules and the resources. An
# installed program finds the modules and resources from its own folder, through the relative paths below, so the
# installed tree can be moved as a whole.
include(GNUInstallDirs)

set(TUNEDECK_AUDIO_MODULES_DIR ${PROJECT_BINARY_DIR}/AudioModules)
set(TUNEDECK_INSTALL_MODULES_DIR ${CMAKE_INSTALL_LIBDIR}/Orvo-Tunedeck2/AudioModules)
set(TUNEDECK_INSTALL_RESOURCES_DIR ${CMAKE_INSTALL_DATADIR}/Orvo-Tunedeck2/resources)
set(TUNEDECK_INSTALL_WINDOW_DIR ${CMAKE_INSTALL_LIBDIR}/Orvo-Tunedeck2)

file(RELATIVE_PATH TUNEDECK_INSTALLED_MODULES_FROM_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${TUNEDECK_INSTALL_MODULES_DIR})
file(RELATIVE_PATH TUNEDECK_INSTALLED_RESOURCES_FROM_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${TUNEDECK_INSTALL_RESOURCES_DIR})
file(RELATIVE_PATH TUNEDECK_INSTALLED_WINDOW_FROM_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${TUNEDECK_INSTALL_WINDOW_DIR})
