// @ts-check
// One level being drawn: its text, its grid, the mirror switches and the
// undo history. Every change goes through here so that each is one
// undoable step; a drag of the mouse is a stroke (beginStroke ... endStroke)
// and undoes as one.
//
// The text is the level: what a file, a link or the designer's typing gave,
// kept exactly as given. The grid is the game loader's reading of it. Only
// a change on the grid writes the text anew (writeLevelText); typed text is
// taken as it is, with the loader's reading as its grid (replace).

import { COLUMNS, Grid, cellOf, mirroredPlaces, rectanglePlaces } from './grid.js';
import { History } from './history.js';
import { writeLevelText } from './levelText.js';

/** @typedef {import('./grid.js').Kind} Kind */
/** @typedef {import('./grid.js').Cell} Cell */
/** @typedef {import('./grid.js').Place} Place */
/** @typedef {import('./grid.js').Mirror} Mirror */
/** @typedef {import('./history.js').Change} Change */

export class Drawing {
    /**
     * @param {Grid} [grid] the level to start from (kept, not copied)
     * @param {number} [historyLimit] undo steps kept
     * @param {string} [text] the level's text, whose reading is grid (default: the grid written out)
     */
    constructor(grid = new Grid(), historyLimit = undefined, text = writeLevelText(grid)) {
        this.grid = grid;
        this.text = text;
        /** @type {string | null} the text before the typing not yet read (see type) */
        this.typedFrom = null;
        /** @type {string} the text when the open stroke began */
        this.strokeText = text;
        /** @type {(() => void) | null} called after each step recorded (the set's undo order) */
        this.onStep = null;
        /** @type {Mirror} */
        this.mirror = { leftRight: false, topBottom: false };
        this.history = new History(historyLimit);
        /** @type {Map<number, Change> | null} the open stroke's changes */
        this.stroke = null;
        /** @type {boolean | null} the capsule mark this stroke sets */
        this.capsuleTarget = null;
        /** @type {Place[] | null} places the running change has set */
        this.touched = null;
    }

    /** Starts a stroke: every change until endStroke is one undo step. */
    beginStroke() {
        this.endStroke();
        this.stroke = new Map();
        this.strokeText = this.typedFrom ?? this.text;
        this.typedFrom = null;
        this.capsuleTarget = null;
    }

    /**
     * Ends the open stroke (if any) and records it. Returns the places it
     * changed.
     * @returns {Place[]}
     */
    endStroke() {
        const stroke = this.stroke;
        this.stroke = null;
        this.capsuleTarget = null;
        if (!stroke) return [];
        // A cell painted and painted back within one drag is no change.
        const changes = [...stroke.values()].filter((c) => c.before !== c.after);
        if (this.history.push({ cells: changes, textBefore: this.strokeText, textAfter: this.text }))
            this.onStep?.();
        return changes.map((c) => placeOf(c.index));
    }

    /**
     * Paints a brick kind (or empty) at the place and its mirrors. A brick
     * painted over a brick keeps its capsule mark; empty clears it.
     * @param {Place} place
     * @param {Kind} kind
     * @returns {Place[]} the places changed
     */
    paint(place, kind) {
        return this.step(() => {
            for (const p of mirroredPlaces(place, this.mirror)) {
                this.set(p, cellOf(kind, this.grid.at(p.col, p.row).capsule));
            }
        });
    }

    /**
     * @param {Place} place
     * @returns {Place[]}
     */
    erase(place) {
        return this.paint(place, 'empty');
    }

    /**
     * Toggles the capsule mark of the brick at the place, and sets its
     * mirrors' marks the same. Within a stroke the first brick decides:
     * dragging over more bricks gives them all that mark, so passing a
     * brick twice does not flip it back. Empty cells take no mark.
     * @param {Place} place
     * @returns {Place[]}
     */
    toggleCapsule(place) {
        return this.step(() => {
            const cell = this.grid.at(place.col, place.row);
            if (cell.kind === 'empty') return;
            if (this.capsuleTarget === null) this.capsuleTarget = !cell.capsule;
            for (const p of mirroredPlaces(place, this.mirror)) {
                const c = this.grid.at(p.col, p.row);
                if (c.kind !== 'empty') this.set(p, cellOf(c.kind, this.capsuleTarget));
            }
        });
    }

    /**
     * Fills the rectangle with corners a and b (and its mirrors) with a
     * kind, as paint does each cell; one step.
     * @param {Place} a
     * @param {Place} b
     * @param {Kind} kind
     * @returns {Place[]}
     */
    fill(a, b, kind) {
        this.endStroke();
        return this.step(() => {
            for (const place of rectanglePlaces(a, b)) this.paint(place, kind);
        });
    }

    /**
     * Puts a whole grid in place as one grid edit (a region moved, flipped
     * or shifted, worked out on a copy): one undo step, and the text
     * written anew as after any change on the grid.
     * @param {Grid} grid
     * @returns {Place[]}
     */
    setGrid(grid) {
        this.endStroke();
        return this.step(() => {
            grid.cells.forEach((cell, index) => this.set(placeOf(index), cell));
        });
    }

    /**
     * Sets the capsule marks of the bricks in the rectangle with corners a
     * and b (and its mirrors) as one step; the first brick decides whether
     * they are set or cleared, as in a stroke.
     * @param {Place} a
     * @param {Place} b
     * @returns {Place[]}
     */
    markCapsules(a, b) {
        this.endStroke();
        return this.step(() => {
            for (const place of rectanglePlaces(a, b)) this.toggleCapsule(place);
        });
    }

    /**
     * Typing under way: the text is the level's at once (switching levels
     * keeps it), and becomes an undo step with its grid once the loader has
     * read it (replace).
     * @param {string} text
     */
    type(text) {
        this.endStroke();
        if (text === this.text) return;
        this.typedFrom ??= this.text;
        this.text = text;
    }

    /**
     * The text typed, pasted or opened, and the game loader's reading of it
     * as the grid; one step. The text is kept as it is.
     * @param {Grid} grid
     * @param {string} text
     * @returns {Place[]}
     */
    replace(grid, text) {
        this.endStroke();
        this.beginStroke();
        /** @type {Place[]} */
        const changed = [];
        grid.cells.forEach((cell, index) => {
            const place = placeOf(index);
            if (this.set(place, cell)) changed.push(place);
        });
        this.text = text;
        this.endStroke();
        return changed;
    }

    /** Whether typed text waits to be read (its grid is not yet the reading). */
    get typing() {
        return this.typedFrom !== null;
    }

    /**
     * Takes back the last step; the places it changed, or null when there
     * is nothing to undo.
     * @returns {Place[] | null}
     */
    undo() {
        this.endStroke();
        const step = this.history.undo();
        if (!step) return null;
        this.text = step.textBefore;
        return step.cells.map((c) => this.restore(c.index, c.before));
    }

    /**
     * Makes the last undone step again; null when there is none.
     * @returns {Place[] | null}
     */
    redo() {
        this.endStroke();
        const step = this.history.redo();
        if (!step) return null;
        this.text = step.textAfter;
        return step.cells.map((c) => this.restore(c.index, c.after));
    }

    get canUndo() {
        return this.history.canUndo || (this.stroke !== null && this.stroke.size > 0);
    }

    get canRedo() {
        return this.stroke === null && this.history.canRedo;
    }

    /**
     * Runs a change inside the open stroke, or as a stroke of its own.
     * @param {() => void} change
     * @returns {Place[]}
     */
    step(change) {
        const own = this.stroke === null;
        if (own) this.beginStroke();
        const outer = this.touched;
        this.touched = [];
        change();
        const touched = this.touched;
        this.touched = outer ? outer.concat(touched) : null;
        // A change on the grid writes the text anew; the outermost step writes it once.
        if (!outer && touched.length > 0) this.text = writeLevelText(this.grid);
        if (own) this.endStroke();
        return touched;
    }

    /**
     * @param {Place} place
     * @param {Cell} cell
     * @returns {boolean} whether the cell changed
     */
    set(place, cell) {
        const stroke = /** @type {Map<number, Change>} */ (this.stroke);
        const index = place.row * COLUMNS + place.col;
        const before = this.grid.at(place.col, place.row);
        if (!this.grid.put(place.col, place.row, cell)) return false;
        if (this.touched) this.touched.push(place);
        const open = stroke.get(index);
        stroke.set(index, { index, before: open ? open.before : before, after: this.grid.cells[index] });
        return true;
    }

    /**
     * @param {number} index
     * @param {Cell} cell
     * @returns {Place}
     */
    restore(index, cell) {
        const place = placeOf(index);
        this.grid.put(place.col, place.row, cell);
        return place;
    }
}

/**
 * @param {number} index
 * @returns {Place}
 */
function placeOf(index) {
    return { col: index % COLUMNS, row: Math.floor(index / COLUMNS) };
}
