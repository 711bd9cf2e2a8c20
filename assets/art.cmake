# The game's art, named once for the build: the pictures as the scene lists
# them (scene/pictures.h, read here), and the sizes of the icon for each of
# its uses. tools/artgen draws them all.
file(STRINGS ${PROJECT_SOURCE_DIR}/scene/pictures.h picture_lines REGEX "\"[a-z_]+\\.gif\"")
# A change to the table configures the build again.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/scene/pictures.h)
string(REGEX MATCHALL "[a-z_]+\\.gif" ZORUKAN_PICTURES "${picture_lines}")
if(NOT ZORUKAN_PICTURES)
  message(FATAL_ERROR "no picture files found in scene/pictures.h")
endif()

set(ZORUKAN_WINDOW_ICON_SIZES 16 32 48)           # built into the program, for its windows
set(ZORUKAN_THEME_ICON_SIZES 16 32 48 64 128 256)  # installed into the hicolor icon theme
set(ZORUKAN_WEB_ICON_SIZES 32 192 512)             # the web page's tab, then its manifest's

set(ZORUKAN_ICON_SIZES ${ZORUKAN_WINDOW_ICON_SIZES} ${ZORUKAN_THEME_ICON_SIZES} ${ZORUKAN_WEB_ICON_SIZES})
list(REMOVE_DUPLICATES ZORUKAN_ICON_SIZES)
list(SORT ZORUKAN_ICON_SIZES COMPARE NATURAL)
