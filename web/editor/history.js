// @ts-check
// Undo and redo for the grid: each step is the list of cells it changed,
// with their values before and after, so a step costs what it touched and
// hundreds of steps stay small.

/** @typedef {import('./grid.js').Cell} Cell */
/**
 * One cell a step changed, by its index in reading order.
 * @typedef {{index: number, before: Cell, after: Cell}} Change
 */

export const DEFAULT_LIMIT = 500;

export class History {
    /**
     * @param {number} [limit] steps kept; the oldest are forgotten beyond it
     */
    constructor(limit = DEFAULT_LIMIT) {
        if (!Number.isInteger(limit) || limit < 1) throw new RangeError('a history keeps at least one step');
        this.limit = limit;
        /** @type {Change[][]} */
        this.done = [];
        /** @type {Change[][]} */
        this.undone = [];
    }

    /**
     * Records a step that has just been made. A new step ends every redo.
     * An empty step is not recorded.
     * @param {Change[]} changes
     */
    push(changes) {
        if (changes.length === 0) return;
        this.done.push(changes);
        this.undone = [];
        if (this.done.length > this.limit) this.done.splice(0, this.done.length - this.limit);
    }

    /**
     * The step to take back (apply each change's before), or null.
     * @returns {Change[] | null}
     */
    undo() {
        const step = this.done.pop();
        if (!step) return null;
        this.undone.push(step);
        return step;
    }

    /**
     * The step to make again (apply each change's after), or null.
     * @returns {Change[] | null}
     */
    redo() {
        const step = this.undone.pop();
        if (!step) return null;
        this.done.push(step);
        return step;
    }

    get canUndo() {
        return this.done.length > 0;
    }

    get canRedo() {
        return this.undone.length > 0;
    }

    clear() {
        this.done = [];
        this.undone = [];
    }
}
