# Installation and packaging rules.
#
# cmake --install BUILD --prefix PREFIX lays out a relocatable tree, as Debian lays out its games:
#   PREFIX/games/vorpaline                     the launcher: runs the game in a folder of the player's
#   PREFIX/libexec/vorpaline/vorpaline         the game itself
#   PREFIX/libexec/vorpaline/vorpaline-replay  the replay tool, which the launcher's --record and --watch run
#   PREFIX/share/games/vorpaline/              the files the game reads from its working folder
#   PREFIX/share/applications/vorpaline.desktop
#   PREFIX/share/icons/hicolor/NxN/apps/vorpaline.png   (32, 64 and 128: the icon scaled up whole)
#   PREFIX/share/metainfo/io.github.vorpaline.vorpaline.metainfo.xml
#   PREFIX/share/man/man6/vorpaline.6.gz
#   PREFIX/share/doc/vorpaline/copyright, changelog.gz
# The first three places are cache variables (VORPALINE_INSTALL_BINDIR=bin puts the launcher on the
# usual PATH of a home install). cpack -G DEB in the build folder makes the Debian package of the same
# tree under /usr.
include(GNUInstallDirs)

set(VORPALINE_INSTALL_BINDIR games CACHE STRING "Where the launcher goes, under the prefix")
set(VORPALINE_INSTALL_GAMEDIR ${CMAKE_INSTALL_LIBEXECDIR}/vorpaline CACHE STRING "Where the game itself goes, under the prefix")
set(VORPALINE_INSTALL_DATADIR share/games/vorpaline CACHE STRING "Where the game's data go, under the prefix")
foreach(dir VORPALINE_INSTALL_BINDIR VORPALINE_INSTALL_GAMEDIR VORPALINE_INSTALL_DATADIR CMAKE_INSTALL_DATADIR
            CMAKE_INSTALL_MANDIR CMAKE_INSTALL_DOCDIR)
  if(IS_ABSOLUTE "${${dir}}")
    message(FATAL_ERROR "${dir} must be relative to the prefix: the launcher finds the game and its data from its own place")
  endif()
endforeach()

set(VORPALINE_GAME_INSTALL_DIR "${VORPALINE_INSTALL_GAMEDIR}")
set(VORPALINE_DATA_INSTALL_DIR "${VORPALINE_INSTALL_DATADIR}")
set(VORPALINE_PACKAGING_DIR "${PROJECT_SOURCE_DIR}/packaging")
set(VORPALINE_PACKAGING_BUILD_DIR "${PROJECT_BINARY_DIR}/packaging")

# The game binary: out of PATH, started by the launcher. Its file name stays "vorpaline": the window's
# class is the executable's name, and the desktop entry's StartupWMClass matches it.
install(TARGETS vorpaline RUNTIME DESTINATION "${VORPALINE_GAME_INSTALL_DIR}")
# The replay tool beside it, out of PATH too: players reach it through the launcher.
install(TARGETS vorpaline-replay RUNTIME DESTINATION "${VORPALINE_GAME_INSTALL_DIR}")

# The launcher, with the version and the paths from its folder to the data folder and to the game.
file(RELATIVE_PATH VORPALINE_BIN_TO_DATA_DIR "/prefix/${VORPALINE_INSTALL_BINDIR}" "/prefix/${VORPALINE_DATA_INSTALL_DIR}")
file(RELATIVE_PATH VORPALINE_BIN_TO_GAME_DIR "/prefix/${VORPALINE_INSTALL_BINDIR}" "/prefix/${VORPALINE_GAME_INSTALL_DIR}")
configure_file("${VORPALINE_PACKAGING_DIR}/vorpaline.sh.in" "${VORPALINE_PACKAGING_BUILD_DIR}/vorpaline" @ONLY)
install(PROGRAMS "${VORPALINE_PACKAGING_BUILD_DIR}/vorpaline" DESTINATION "${VORPALINE_INSTALL_BINDIR}")

# The data folder: the files the game opens at start-up, then the frame list and bitmap of every sheet
# it loads. Which sheets those are is the game's to say: the replay tool, run on an empty script in the
# data folder, prints "Loading NAME.kvs" for each as the game's start-up does. The list is made when
# installing (cpack installs too), so a sheet added to kvs.ini is installed without reconfiguring; a
# file that is missing stops the installation.
install(CODE "set(vorpaline_data_source \"${PROJECT_SOURCE_DIR}/data\")
set(vorpaline_data_destination \"\${CMAKE_INSTALL_PREFIX}/${VORPALINE_DATA_INSTALL_DIR}\")
set(vorpaline_replay \"$<TARGET_FILE:vorpaline-replay>\")")
install(CODE [[
  set(vorpaline_data_files krv.ini krvcolor.ini icon.bmp font.bmp kvs.ini)
  if(NOT EXISTS "${vorpaline_data_source}/kvs.ini")
    message(FATAL_ERROR "${vorpaline_data_source}/kvs.ini is missing: the game's data has not been generated")
  endif()
  if(NOT EXISTS "${vorpaline_replay}")
    message(FATAL_ERROR "${vorpaline_replay} is missing: build the project before installing it")
  endif()
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "${vorpaline_replay}" /dev/null /dev/null
    WORKING_DIRECTORY "${vorpaline_data_source}"
    OUTPUT_VARIABLE vorpaline_listing ERROR_VARIABLE vorpaline_listing_errors RESULT_VARIABLE vorpaline_listing_status)
  if(NOT vorpaline_listing_status EQUAL 0)
    message(FATAL_ERROR "the replay tool could not start the game in ${vorpaline_data_source} (${vorpaline_listing_status}): ${vorpaline_listing_errors}")
  endif()
  # A frame list's error message has no line end, so a sheet's line may begin after it.
  string(REGEX MATCHALL "Loading [^\n]+\\.kvs\n" vorpaline_sheet_lines "${vorpaline_listing}")
  foreach(line IN LISTS vorpaline_sheet_lines)
    string(REGEX REPLACE "^Loading (.+)\\.kvs\n$" "\\1" name "${line}")
    list(APPEND vorpaline_data_files "${name}.kvs" "${name}.bmp")
  endforeach()
  list(REMOVE_DUPLICATES vorpaline_data_files)
  set(vorpaline_data_paths "")
  foreach(file IN LISTS vorpaline_data_files)
    if(NOT EXISTS "${vorpaline_data_source}/${file}")
      message(FATAL_ERROR "${vorpaline_data_source}/${file} is missing: the game reads it at start-up")
    endif()
    list(APPEND vorpaline_data_paths "${vorpaline_data_source}/${file}")
  endforeach()
  file(INSTALL ${vorpaline_data_paths} DESTINATION "${vorpaline_data_destination}"
       PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
]])

# The desktop entry and the icon, converted from data/icon.bmp at build time by a converter of ours.
install(FILES "${VORPALINE_PACKAGING_DIR}/vorpaline.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")

add_executable(vorpaline-bmp-to-png "${VORPALINE_PACKAGING_DIR}/bmp_to_png.cpp")
set(VORPALINE_ICON_BMP "${PROJECT_SOURCE_DIR}/data/icon.bmp")
set(vorpaline_icon_pngs "")
foreach(edge 32 64 128)
  set(icon_dir "${VORPALINE_PACKAGING_BUILD_DIR}/icons/${edge}x${edge}")
  add_custom_command(
    OUTPUT "${icon_dir}/vorpaline.png"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${icon_dir}"
    COMMAND vorpaline-bmp-to-png "${VORPALINE_ICON_BMP}" "${icon_dir}/vorpaline.png" ${edge}
    DEPENDS vorpaline-bmp-to-png "${VORPALINE_ICON_BMP}"
    COMMENT "Converting data/icon.bmp to a ${edge}x${edge} PNG"
    VERBATIM)
  list(APPEND vorpaline_icon_pngs "${icon_dir}/vorpaline.png")
  install(FILES "${icon_dir}/vorpaline.png" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${edge}x${edge}/apps")
endforeach()
add_custom_target(vorpaline-icons ALL DEPENDS ${vorpaline_icon_pngs})

# The manual page, compressed as Debian ships them (-n: no name or time stamp, so builds are the same).
configure_file("${VORPALINE_PACKAGING_DIR}/vorpaline.6.in" "${VORPALINE_PACKAGING_BUILD_DIR}/vorpaline.6" @ONLY)
add_custom_command(
  OUTPUT "${VORPALINE_PACKAGING_BUILD_DIR}/vorpaline.6.gz"
  COMMAND gzip -9nc "${VORPALINE_PACKAGING_BUILD_DIR}/vorpaline.6" > "${VORPALINE_PACKAGING_BUILD_DIR}/vorpaline.6.gz"
  DEPENDS "${VORPALINE_PACKAGING_BUILD_DIR}/vorpaline.6"
  COMMENT "Compressing the manual page")
install(FILES "${VORPALINE_PACKAGING_BUILD_DIR}/vorpaline.6.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man6")

# The AppStream entry.
configure_file("${VORPALINE_PACKAGING_DIR}/io.github.vorpaline.vorpaline.metainfo.xml.in"
               "${VORPALINE_PACKAGING_BUILD_DIR}/io.github.vorpaline.vorpaline.metainfo.xml" @ONLY)
install(FILES "${VORPALINE_PACKAGING_BUILD_DIR}/io.github.vorpaline.vorpaline.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

# The copyright file and the changelog, in Debian's formats. The changelog's latest entry names the
# version, which must be the project's.
file(STRINGS "${VORPALINE_PACKAGING_DIR}/changelog" vorpaline_changelog_head LIMIT_COUNT 1)
if(NOT vorpaline_changelog_head MATCHES "^vorpaline \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog begins with \"${vorpaline_changelog_head}\": its latest entry must be version ${PROJECT_VERSION}")
endif()
add_custom_command(
  OUTPUT "${VORPALINE_PACKAGING_BUILD_DIR}/changelog.gz"
  COMMAND gzip -9nc "${VORPALINE_PACKAGING_DIR}/changelog" > "${VORPALINE_PACKAGING_BUILD_DIR}/changelog.gz"
  DEPENDS "${VORPALINE_PACKAGING_DIR}/changelog"
  COMMENT "Compressing the changelog")
install(FILES "${VORPALINE_PACKAGING_DIR}/copyright" "${VORPALINE_PACKAGING_BUILD_DIR}/changelog.gz"
        DESTINATION "${CMAKE_INSTALL_DOCDIR}")
add_custom_target(vorpaline-docs ALL DEPENDS "${VORPALINE_PACKAGING_BUILD_DIR}/vorpaline.6.gz"
                                             "${VORPALINE_PACKAGING_BUILD_DIR}/changelog.gz")

# The Debian package.
set(VORPALINE_PACKAGE_MAINTAINER "The vorpaline developers <vorpaline@example.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorpaline)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${VORPALINE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small vertical-scrolling shoot-'em-up")
set(CPACK_PACKAGE_DESCRIPTION "Steer your ship up a narrow column, shoot down fighters and hunters, and
outlast a five-phase boss to reach the staff roll. A 640x480 picture in 256
colours at a fixed 60 ticks a second, played with the cursor keys and z, x, c
or with a gamepad.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps fills in libc6, libstdc++6 and libgcc-s1 from the binary, and for libSDL-1.2.so.0 the
# alternatives its symbols file names. sdl12-compat comes first so that apt picks it on a machine that
# has neither, while a machine with the classic SDL 1.2 library keeps it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl1.2-compat-shim (>= 1.2.60) | libsdl1.2debian (>= 1.2.15)")
include(CPack)
