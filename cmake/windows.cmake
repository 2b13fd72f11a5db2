# The Windows programs, cross-compiled beside the Linux build (into windows/game/), and
# the Windows release made from them and the Linux build's game data.
find_program(MINGW_CXX x86_64-w64-mingw32-g++-posix REQUIRED)

include(ExternalProject)
set(WINDOWS_GAME_DIR ${PROJECT_BINARY_DIR}/windows/game)
ExternalProject_Add(windows_programs
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${PROJECT_BINARY_DIR}/windows
  CMAKE_GENERATOR Ninja
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${WINDOWS_GAME_DIR}/quendle.exe ${WINDOWS_GAME_DIR}/quendlehost.exe)

add_custom_target(windows_release
  COMMAND ${CMAKE_COMMAND} -DGAME_DIR=${PROJECT_BINARY_DIR}/game -DWINDOWS_GAME_DIR=${WINDOWS_GAME_DIR}
          -DREADME=${PROJECT_SOURCE_DIR}/packaging/windows/README.txt -DOUT_DIR=${PROJECT_BINARY_DIR}/release
          -P ${PROJECT_SOURCE_DIR}/cmake/windows_release.cmake
  DEPENDS windows_programs game_data
  COMMENT "Packing the Windows release in ${PROJECT_BINARY_DIR}/release")
