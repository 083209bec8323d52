// @ts-check
// The game's screen and brick grid as its C++ lays them out, for every page
// that draws or reads them (the game's page, the level editor, its replay):
// a 320 by 240 screen; under a 20-pixel top line the 20 by 15 cells, 16
// pixels apart across and 10 down from (1, 1) of the grid, each brick 15
// by 9. Written once here; the numbers are the game's, not the pages'.

export const SCREEN_WIDTH = 320;
export const SCREEN_HEIGHT = 240;
export const GRID_TOP = 20;
export const COLUMNS = 20;
export const ROWS = 15;
export const CELL_STEP_X = 16;
export const CELL_STEP_Y = 10;
export const BRICK_WIDTH = 15;
export const BRICK_HEIGHT = 9;
