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

/**
 * The line numbers (from 1) at which two texts differ, in order: the
 * lines a rewrite changed.
 * @param {string} before
 * @param {string} after
 * @returns {number[]}
 */
export function changedLines(before, after) {
    const a = before.split('\n');
    const b = after.split('\n');
    // A last line feed ends the last line; it opens no line of its own.
    if (a[a.length - 1] === '') a.pop();
    if (b[b.length - 1] === '') b.pop();
    /** @type {number[]} */
    const lines = [];
    for (let i = 0; i < Math.max(a.length, b.length); ++i) if (a[i] !== b[i]) lines.push(i + 1);
    return lines;
}

/**
 * Line numbers as a reader takes them in: "3", "3 and 5", "2-4, 7 and 9".
 * @param {number[]} lines in order
 * @returns {string}
 */
export function lineList(lines) {
    /** @type {string[]} */
    const parts = [];
    for (let i = 0; i < lines.length;) {
        let j = i;
        while (j + 1 < lines.length && lines[j + 1] === lines[j] + 1) ++j;
        parts.push(j > i ? `${lines[i]}-${lines[j]}` : String(lines[i]));
        i = j + 1;
    }
    return parts.length <= 1
        ? parts.join('')
        : `${parts.slice(0, -1).join(', ')} and ${parts[parts.length - 1]}`;
}
