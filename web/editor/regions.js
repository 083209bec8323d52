// @ts-check
// Regions of the grid: a rectangle of cells selected, copied, pasted,
// moved, deleted or flipped, and the whole level shifted a cell. Every
// function here takes a grid and returns a new one (or null when it
// cannot do what was asked), never changing the one it was given, so the
// page hands the result to drawGrid and each change is one step of the
// level's undo history, which writes the level's text anew as any change
// on the grid does.
//
// A region's empty cells are holes, not paint: pasting or moving a region
// puts its bricks down and leaves the bricks under its holes alone, the
// way a designer moves a shape drawn on an empty background.

import { COLUMNS, EMPTY, Grid, ROWS } from './grid.js';

/** @typedef {import('./grid.js').Cell} Cell */
/** @typedef {import('./drawing.js').Drawing} Drawing */
/** @typedef {import('./grid.js').Place} Place */
/**
 * A rectangle of cells, corners included.
 * @typedef {{left: number, top: number, right: number, bottom: number}} Rect
 */
/**
 * Cells lifted out of a grid: width by height, row by row.
 * @typedef {{width: number, height: number, cells: Cell[]}} Clip
 */

/**
 * The rectangle with corners a and b (in any order), clipped to the grid.
 * @param {Place} a
 * @param {Place} b
 * @returns {Rect}
 */
export function rectOf(a, b) {
    return {
        left: Math.max(0, Math.min(a.col, b.col)),
        top: Math.max(0, Math.min(a.row, b.row)),
        right: Math.min(COLUMNS - 1, Math.max(a.col, b.col)),
        bottom: Math.min(ROWS - 1, Math.max(a.row, b.row)),
    };
}

/** The whole grid as a rectangle. @returns {Rect} */
export function wholeGrid() {
    return { left: 0, top: 0, right: COLUMNS - 1, bottom: ROWS - 1 };
}

/**
 * @param {Rect} rect
 * @param {Place} place
 */
export function contains(rect, place) {
    return (
        place.col >= rect.left && place.col <= rect.right && place.row >= rect.top && place.row <= rect.bottom
    );
}

/**
 * The cells of a rectangle.
 * @param {Grid} grid
 * @param {Rect} rect
 * @returns {Clip}
 */
export function copyRegion(grid, rect) {
    /** @type {Cell[]} */
    const cells = [];
    for (let row = rect.top; row <= rect.bottom; ++row) {
        for (let col = rect.left; col <= rect.right; ++col) cells.push(grid.at(col, row));
    }
    return { width: rect.right - rect.left + 1, height: rect.bottom - rect.top + 1, cells };
}

/**
 * The grid with a rectangle emptied.
 * @param {Grid} grid
 * @param {Rect} rect
 * @returns {Grid}
 */
export function deleteRegion(grid, rect) {
    const result = grid.clone();
    for (let row = rect.top; row <= rect.bottom; ++row) {
        for (let col = rect.left; col <= rect.right; ++col) result.put(col, row, EMPTY);
    }
    return result;
}

/**
 * The grid with a clip's bricks put down from a top-left place; the clip's
 * empty cells leave what is under them, and what falls outside the grid is
 * left out.
 * @param {Grid} grid
 * @param {Clip} clip
 * @param {Place} at
 * @returns {Grid}
 */
export function pasteClip(grid, clip, at) {
    const result = grid.clone();
    clip.cells.forEach((cell, i) => {
        const col = at.col + (i % clip.width);
        const row = at.row + Math.floor(i / clip.width);
        if (cell !== EMPTY && col >= 0 && col < COLUMNS && row >= 0 && row < ROWS) result.put(col, row, cell);
    });
    return result;
}

/**
 * The rectangle a clip covers when put down at a place, clipped to the grid.
 * @param {Clip} clip
 * @param {Place} at
 * @returns {Rect}
 */
export function clipRect(clip, at) {
    return rectOf(at, { col: at.col + clip.width - 1, row: at.row + clip.height - 1 });
}

/**
 * How far a rectangle may go by (dx, dy) and stay whole on the grid: the
 * step cut short at the edges.
 * @param {Rect} rect
 * @param {number} dx
 * @param {number} dy
 * @returns {{dx: number, dy: number}}
 */
export function stepInside(rect, dx, dy) {
    return {
        dx: Math.max(-rect.left, Math.min(COLUMNS - 1 - rect.right, dx)),
        dy: Math.max(-rect.top, Math.min(ROWS - 1 - rect.bottom, dy)),
    };
}

/**
 * A region lifted off the grid to be moved: the grid without its bricks
 * (the base), the bricks, and where they sit now. Moving it again and again
 * puts the bricks down on the same base, so a region moved over other
 * bricks and on again leaves them as they were.
 * @typedef {{base: Grid, clip: Clip, at: Place}} Lifted
 */

/**
 * @param {Grid} grid
 * @param {Rect} rect
 * @returns {Lifted}
 */
export function liftRegion(grid, rect) {
    return {
        base: deleteRegion(grid, rect),
        clip: copyRegion(grid, rect),
        at: { col: rect.left, row: rect.top },
    };
}

/**
 * The lifted region moved by (dx, dy), kept whole on the grid: the new
 * lifted state and the grid with it put down there.
 * @param {Lifted} lifted
 * @param {number} dx
 * @param {number} dy
 * @returns {{lifted: Lifted, grid: Grid, rect: Rect}}
 */
export function moveLifted(lifted, dx, dy) {
    const step = stepInside(clipRect(lifted.clip, lifted.at), dx, dy);
    const at = { col: lifted.at.col + step.dx, row: lifted.at.row + step.dy };
    const moved = { ...lifted, at };
    return { lifted: moved, grid: pasteClip(lifted.base, lifted.clip, at), rect: clipRect(lifted.clip, at) };
}

/**
 * The grid with a rectangle turned over, left for right or top for bottom.
 * @param {Grid} grid
 * @param {Rect} rect
 * @param {'leftRight' | 'topBottom'} axis
 * @returns {Grid}
 */
export function flipRegion(grid, rect, axis) {
    const result = grid.clone();
    for (let row = rect.top; row <= rect.bottom; ++row) {
        for (let col = rect.left; col <= rect.right; ++col) {
            const fromCol = axis === 'leftRight' ? rect.left + rect.right - col : col;
            const fromRow = axis === 'topBottom' ? rect.top + rect.bottom - row : row;
            result.put(col, row, grid.at(fromCol, fromRow));
        }
    }
    return result;
}

/**
 * The whole level a cell (or more) over: every brick moved by (dx, dy).
 * Null when a brick would leave the grid: a shift never drops bricks.
 * @param {Grid} grid
 * @param {number} dx
 * @param {number} dy
 * @returns {Grid | null}
 */
export function shiftLevel(grid, dx, dy) {
    const result = new Grid();
    for (let row = 0; row < ROWS; ++row) {
        for (let col = 0; col < COLUMNS; ++col) {
            const cell = grid.at(col, row);
            if (cell === EMPTY) continue;
            const to = { col: col + dx, row: row + dy };
            if (to.col < 0 || to.col >= COLUMNS || to.row < 0 || to.row >= ROWS) return null;
            result.put(to.col, to.row, cell);
        }
    }
    return result;
}

/**
 * Makes a grid the level being drawn as one change on the grid: one undo
 * step (or part of the stroke open, as a drag's moves are), the text
 * written anew as for any drawing. The places changed.
 * @param {Drawing} drawing
 * @param {Grid} grid
 * @returns {Place[]}
 */
export function drawGrid(drawing, grid) {
    return drawing.step(() =>
        grid.cells.forEach((cell, i) => {
            drawing.set({ col: i % COLUMNS, row: Math.floor(i / COLUMNS) }, cell);
        }),
    );
}
