# Lays out the Windows release and packs it: the two programs, the game data as they
# look for it, and the text for Windows players (with Windows line ends).
# Run with -DGAME_DIR= -DWINDOWS_GAME_DIR= -DREADME= -DOUT_DIR=.
set(name quendle-windows)
set(stage ${OUT_DIR}/${name})
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage})
file(COPY ${WINDOWS_GAME_DIR}/quendle.exe ${WINDOWS_GAME_DIR}/quendlehost.exe DESTINATION ${stage})
file(COPY ${GAME_DIR}/brambleduck.bmp ${GAME_DIR}/images ${GAME_DIR}/levels ${GAME_DIR}/sounds DESTINATION ${stage})
file(READ ${README} text)
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${stage}/README.txt "${text}")
file(REMOVE ${OUT_DIR}/${name}.zip)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${name}.zip --format=zip ${name}
                WORKING_DIRECTORY ${OUT_DIR} COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "Windows release: ${OUT_DIR}/${name}.zip")
