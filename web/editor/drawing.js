// @ts-check
// One level being drawn: its grid, the mirror switches and the undo history.
// Every change goes through here so that each is one undoable step; a drag
// of the mouse is a stroke (beginStroke ... endStroke) and undoes as one.

import { COLUMNS, Grid, cellOf, mirroredPlaces, rectanglePlaces } from './grid.js';
import { History } from './history.js';

/** @typedef {import('./grid.js').Kind} Kind */
/** @typedef {import('./grid.js').Cell} Cell */
/** @typedef {import('./grid.js').Place} Place */
/** @typedef {import('./grid.js').Mirror} Mirror */
/** @typedef {import('./history.js').Change} Change */

export class Drawing {
    /**
     * @param {Grid} [grid] the level to start from (kept, not copied)
     * @param {number} [historyLimit] undo steps kept
     */
    constructor(grid = new Grid(), historyLimit = undefined) {
        this.grid = grid;
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
        this.history.push(changes);
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
     * Replaces the whole grid (a text typed or pasted, read by the game's
     * loader); one step.
     * @param {Grid} grid
     * @returns {Place[]}
     */
    replace(grid) {
        this.endStroke();
        return this.step(() => {
            grid.cells.forEach((cell, index) => this.set(placeOf(index), cell));
        });
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
        return step.map((c) => this.restore(c.index, c.before));
    }

    /**
     * Makes the last undone step again; null when there is none.
     * @returns {Place[] | null}
     */
    redo() {
        this.endStroke();
        const step = this.history.redo();
        if (!step) return null;
        return step.map((c) => this.restore(c.index, c.after));
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
        if (own) this.endStroke();
        return touched;
    }

    /**
     * @param {Place} place
     * @param {Cell} cell
     */
    set(place, cell) {
        const stroke = /** @type {Map<number, Change>} */ (this.stroke);
        const index = place.row * COLUMNS + place.col;
        const before = this.grid.at(place.col, place.row);
        if (!this.grid.put(place.col, place.row, cell)) return;
        if (this.touched) this.touched.push(place);
        const open = stroke.get(index);
        stroke.set(index, { index, before: open ? open.before : before, after: this.grid.cells[index] });
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
