// @ts-check
// The brick grid as the editor holds it: the 20 by 15 cells of the playfield,
// each a brick kind and a capsule mark. A plain value with no page and no
// game in it, so drawing, history and the writers test under node.
//
// What a cell means in play (hits, points, what the ball does) is the game's
// business: the page asks the game's own loader and checker for that. Here a
// cell is only what the designer put there.

import { CELL_STEP_X, CELL_STEP_Y, COLUMNS, ROWS } from '../shared/geometry.js';

export { COLUMNS, ROWS };
export const CELL_COUNT = COLUMNS * ROWS;

/** @typedef {'empty' | 1 | 2 | 3 | 'solid'} Kind */
/** @typedef {{readonly kind: Kind, readonly capsule: boolean}} Cell */
/** @typedef {{col: number, row: number}} Place */
/**
 * Which halves mirror onto each other while drawing.
 * @typedef {{leftRight: boolean, topBottom: boolean}} Mirror
 */
/**
 * One cell as the game's level loader hands it over (the fields of its
 * brick cell): kind 0 empty, 1 to 3 hits, 4 solid; rect relative to the grid.
 * @typedef {{kind: number, present?: boolean, hasPowerUp?: number | boolean,
 *            rect: {x: number, y: number}}} LoaderCell
 */

/** @type {readonly Kind[]} */
export const KINDS = Object.freeze(['empty', 1, 2, 3, 'solid']);

// Cells are shared, frozen values: one per kind and mark. History steps and
// copies of a grid can hold them without copying.
/** @type {Map<string, Cell>} */
const cellValues = new Map();
for (const kind of KINDS) {
    for (const capsule of kind === 'empty' ? [false] : [false, true]) {
        cellValues.set(`${kind}${capsule}`, Object.freeze({ kind, capsule }));
    }
}

/**
 * @param {unknown} value
 * @returns {value is Kind}
 */
export function isKind(value) {
    return KINDS.includes(/** @type {Kind} */ (value));
}

/**
 * The cell of this kind and mark. An empty cell never carries a capsule:
 * there is no brick to release one.
 * @param {Kind} kind
 * @param {boolean} [capsule]
 * @returns {Cell}
 */
export function cellOf(kind, capsule = false) {
    if (!isKind(kind)) throw new TypeError(`not a brick kind: ${String(kind)}`);
    const cell = cellValues.get(`${kind}${kind !== 'empty' && capsule === true}`);
    return /** @type {Cell} */ (cell);
}

export const EMPTY = cellOf('empty');

/**
 * @param {Place} a
 * @param {Place} b
 */
function samePlace(a, b) {
    return a.col === b.col && a.row === b.row;
}

/**
 * The place and the places mirroring it, each once: left-right about the
 * grid's middle between columns 10 and 11, top-bottom about its middle row
 * (row 8 of 15 maps to itself).
 * @param {Place} place
 * @param {Mirror} mirror
 * @returns {Place[]}
 */
export function mirroredPlaces(place, mirror) {
    /** @type {Place[]} */
    const places = [place];
    if (mirror.leftRight) places.push({ col: COLUMNS - 1 - place.col, row: place.row });
    if (mirror.topBottom) {
        for (const p of places.slice()) places.push({ col: p.col, row: ROWS - 1 - p.row });
    }
    return places.filter((p, i) => places.findIndex((q) => samePlace(p, q)) === i);
}

/**
 * Every place of the rectangle with corners a and b (in any order), clipped
 * to the grid, row by row.
 * @param {Place} a
 * @param {Place} b
 * @returns {Place[]}
 */
export function rectanglePlaces(a, b) {
    const left = Math.max(0, Math.min(a.col, b.col));
    const right = Math.min(COLUMNS - 1, Math.max(a.col, b.col));
    const top = Math.max(0, Math.min(a.row, b.row));
    const bottom = Math.min(ROWS - 1, Math.max(a.row, b.row));
    /** @type {Place[]} */
    const places = [];
    for (let row = top; row <= bottom; ++row) {
        for (let col = left; col <= right; ++col) places.push({ col, row });
    }
    return places;
}

/**
 * @param {number} col
 * @param {number} row
 */
export function isInside(col, row) {
    return (
        Number.isInteger(col) && Number.isInteger(row) && col >= 0 && col < COLUMNS && row >= 0 && row < ROWS
    );
}

// The loader's brick rectangles: CELL_STEP_X pixels apart across,
// CELL_STEP_Y down, starting at (1, 1) of the grid.

/**
 * The grid place of a cell the game's loader read, or null when the loader
 * put it outside the 20 by 15 cells (levelcheck names such bricks).
 * @param {LoaderCell} cell
 * @returns {Place | null}
 */
export function placeOfLoaderCell(cell) {
    const x = cell && cell.rect ? cell.rect.x : NaN;
    const y = cell && cell.rect ? cell.rect.y : NaN;
    const col = (x - 1) / CELL_STEP_X;
    const row = (y - 1) / CELL_STEP_Y;
    return isInside(col, row) ? { col, row } : null;
}

// One storage character per cell; upper half of the table marks a capsule.
const STORAGE_CODES = { empty: '.', 1: '1', 2: '2', 3: '3', solid: '#' };
const STORAGE_CAPSULE_CODES = { 1: 'a', 2: 'b', 3: 'c', solid: 'x' };
/** @type {Map<string, Cell>} */
const cellsByCode = new Map();
/** @type {Map<Cell, string>} */
const codesByCell = new Map();
for (const kind of KINDS) {
    cellsByCode.set(STORAGE_CODES[kind], cellOf(kind));
    if (kind !== 'empty') cellsByCode.set(STORAGE_CAPSULE_CODES[kind], cellOf(kind, true));
}
for (const [code, cell] of cellsByCode) codesByCell.set(cell, code);

export class Grid {
    /**
     * A grid of the given 300 cells in reading order (row by row), or an
     * empty grid.
     * @param {readonly Cell[]} [cells]
     */
    constructor(cells) {
        if (cells === undefined) {
            /** @type {Cell[]} */
            this.cells = new Array(CELL_COUNT).fill(EMPTY);
            return;
        }
        if (!Array.isArray(cells) || cells.length !== CELL_COUNT) {
            throw new TypeError(`a grid takes ${CELL_COUNT} cells`);
        }
        this.cells = cells.map((c) => cellOf(c.kind, c.capsule));
    }

    /**
     * The grid of the cells the game's level loader read from a text. Cells
     * outside the 20 by 15 grid are left out; a capsule mark on an empty
     * cell is dropped; a later cell at the same place wins, as it would in
     * the game's drawing.
     * @param {readonly LoaderCell[]} list
     * @returns {Grid}
     */
    static fromLoaderCells(list) {
        const grid = new Grid();
        const byLoaderKind = /** @type {const} */ (['empty', 1, 2, 3, 'solid']);
        for (const cell of list) {
            const place = placeOfLoaderCell(cell);
            if (!place) continue;
            const known = Number.isInteger(cell.kind) && cell.kind >= 0 && cell.kind <= 4;
            const kind = cell.present === false || !known ? 'empty' : byLoaderKind[cell.kind];
            const capsule = cell.hasPowerUp === true || cell.hasPowerUp === 1;
            grid.put(place.col, place.row, cellOf(kind, capsule));
        }
        return grid;
    }

    /**
     * The grid of the cells levelcheck reports for a text (its check's
     * `cells`: kind 0 to 4, capsule, and the row and column the loader
     * placed each at, -1 when it placed none). Handed to fromLoaderCells,
     * so both readings of the loader agree.
     * @param {readonly {kind: number, capsule: boolean, row: number, column: number}[]} cells
     * @returns {Grid}
     */
    static fromCheckCells(cells) {
        return Grid.fromLoaderCells(
            cells.map((c) => ({
                kind: c.kind,
                hasPowerUp: c.capsule,
                rect: { x: 1 + c.column * CELL_STEP_X, y: 1 + c.row * CELL_STEP_Y },
            })),
        );
    }

    /**
     * A grid from its storage code (see toCode), or null when the code is
     * not one.
     * @param {unknown} code
     * @returns {Grid | null}
     */
    static fromCode(code) {
        if (typeof code !== 'string' || code.length !== CELL_COUNT) return null;
        /** @type {Cell[]} */
        const cells = [];
        for (const ch of code) {
            const cell = cellsByCode.get(ch);
            if (!cell) return null;
            cells.push(cell);
        }
        return cells.length === CELL_COUNT ? new Grid(cells) : null;
    }

    /**
     * The grid as 300 characters for the browser's storage: ".", "1", "2",
     * "3", "#", and "a", "b", "c", "x" for those bricks with a capsule.
     * @returns {string}
     */
    toCode() {
        return this.cells.map((c) => codesByCell.get(c)).join('');
    }

    /**
     * @param {number} col
     * @param {number} row
     * @returns {Cell}
     */
    at(col, row) {
        if (!isInside(col, row)) throw new RangeError(`no cell at column ${col}, row ${row}`);
        return this.cells[row * COLUMNS + col];
    }

    /**
     * Sets a cell; true when that changed it.
     * @param {number} col
     * @param {number} row
     * @param {Cell} cell
     * @returns {boolean}
     */
    put(col, row, cell) {
        const value = cellOf(cell.kind, cell.capsule);
        const index = row * COLUMNS + col;
        if (!isInside(col, row)) throw new RangeError(`no cell at column ${col}, row ${row}`);
        if (this.cells[index] === value) return false;
        this.cells[index] = value;
        return true;
    }

    isEmpty() {
        return this.cells.every((c) => c === EMPTY);
    }

    clone() {
        return new Grid(this.cells);
    }

    /** @param {Grid} other */
    equals(other) {
        return this.cells.every((c, i) => c === other.cells[i]);
    }
}
