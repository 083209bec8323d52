// @ts-check
// The grid written as a level file's text, the way the shipped levels are
// written: two characters a cell (the brick, then a space or "S" for a
// capsule), "." for an empty cell, every line ended by a line feed. Lines
// stop after their last brick and the text after its last row with a
// brick, so every line has an even length and no line feed ever falls
// where the game would read it as a modifier.
//
// Reading a text is not done here: the game's own loader reads it.

import { COLUMNS, ROWS } from './grid.js';

/** @typedef {import('./grid.js').Grid} Grid */
/** @typedef {import('./grid.js').Cell} Cell */

const BRICK_CHARACTERS = { empty: '.', 1: '1', 2: '2', 3: '3', solid: '#' };

/**
 * The two characters of one cell.
 * @param {Cell} cell
 * @returns {string}
 */
export function cellText(cell) {
    return BRICK_CHARACTERS[cell.kind] + (cell.capsule ? 'S' : ' ');
}

/**
 * The level file's text for the grid; "" for an empty grid.
 * @param {Grid} grid
 * @returns {string}
 */
export function writeLevelText(grid) {
    /** @type {string[]} */
    const lines = [];
    for (let row = 0; row < ROWS; ++row) {
        let end = COLUMNS;
        while (end > 0 && grid.at(end - 1, row).kind === 'empty') --end;
        let line = '';
        for (let col = 0; col < end; ++col) line += cellText(grid.at(col, row));
        lines.push(line);
    }
    while (lines.length > 0 && lines[lines.length - 1] === '') lines.pop();
    return lines.map((line) => line + '\n').join('');
}
