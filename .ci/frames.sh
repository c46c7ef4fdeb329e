# Frames that cover the whole scripted game: start, each meal (frame index
# 111, 215, 295 is frame number 112, 216, 296), the crashes (307/335), the
# drain, the rising text and frames long past the end, up to the last frame
# number, which pc-snake reaches by leaping over whole periods of the game.
# shellcheck disable=SC2034
GAME_FRAMES=(1 2 3 60 112 113 200 216 217 296 297 308 309 310 336 337 338 360 400 500 700 1001 1500 20000 2147483647)
