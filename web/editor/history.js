// @ts-check
// Undo and redo for a level: each step is the list of cells it changed,
// with their values before and after, and the level's text before and
// after, so a step costs what it touched and hundreds of steps stay small
// (texts are shared strings, not copies).

/** @typedef {import('./grid.js').Cell} Cell */
/**
 * One cell a step changed, by its index in reading order.
 * @typedef {{index: number, before: Cell, after: Cell}} Change
 */
/**
 * One undoable step: the cells it changed and the text before and after.
 * @typedef {{cells: Change[], textBefore: string, textAfter: string}} Step
 */

export const DEFAULT_LIMIT = 500;

export class History {
    /**
     * @param {number} [limit] steps kept; the oldest are forgotten beyond it
     */
    constructor(limit = DEFAULT_LIMIT) {
        if (!Number.isInteger(limit) || limit < 1) throw new RangeError('a history keeps at least one step');
        this.limit = limit;
        /** @type {Step[]} */
        this.done = [];
        /** @type {Step[]} */
        this.undone = [];
    }

    /**
     * Records a step that has just been made. A new step ends every redo.
     * A step that changed neither a cell nor the text is not recorded.
     * Returns whether it was.
     * @param {Step} step
     */
    push(step) {
        if (step.cells.length === 0 && step.textBefore === step.textAfter) return false;
        this.done.push(step);
        this.undone = [];
        if (this.done.length > this.limit) this.done.splice(0, this.done.length - this.limit);
        return true;
    }

    /**
     * The step to take back (apply each change's before), or null.
     * @returns {Step | null}
     */
    undo() {
        const step = this.done.pop();
        if (!step) return null;
        this.undone.push(step);
        return step;
    }

    /**
     * The step to make again (apply each change's after), or null.
     * @returns {Step | null}
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
