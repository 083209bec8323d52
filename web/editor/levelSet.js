// @ts-check
// The levels open in the editor: an ordered set, named level1.txt,
// level2.txt, ... by position as the game numbers its level files, each
// with its own drawing (its text, grid and undo history) and an optional
// title for the designer. Serialised for the browser's storage, and
// written out as the files of a folder or a zip.
//
// Undo runs across the whole set in the order things were done: a stroke
// on one level, deleting another, clearing the set. Each level's drawing
// keeps its own steps; the set keeps which level each step was on, and
// its own steps (levels added, deleted, moved, the set cleared) as the
// level lists before and after, so a deleted level comes back whole, with
// its history.

import { MAX_LEVELS, MAX_TITLE_LENGTH, cleanTitle, levelFileName } from '../shared/levelNames.js';
import { Drawing } from './drawing.js';
import { Grid } from './grid.js';

/** @typedef {{title: string, drawing: Drawing}} Level */
/**
 * One entry of the set's undo order: a step on a level's drawing, or a
 * change of the level list.
 * @typedef {{level: Level} | {before: Level[], after: Level[], currentBefore: number, currentAfter: number}} SetStep
 */
/** @typedef {{name: string, text: string}} LevelFile */
/**
 * @template T
 * @typedef {{ok: true, value: T} | {ok: false, error: string}} Result
 */

export { MAX_LEVELS, MAX_TITLE_LENGTH, cleanTitle, levelFileName };
export const STORAGE_FORMAT = 'quadrell-level-set';
export const STORAGE_VERSION = 2;
// The set's undo order keeps this many entries; each level's history has its own bound.
export const SET_HISTORY_LIMIT = 2000;
// A level file is about 640 characters; a kept text past this is not one.
export const MAX_STORED_TEXT = 16384;

export class LevelSet {
    /**
     * A set of the given levels, or of one empty level. A set is never
     * empty: the editor always has a level to draw on. A level's text is
     * kept as given; grid must be the game loader's reading of it.
     * @param {{title?: string, grid?: Grid, text?: string}[]} [levels]
     */
    constructor(levels = [{}]) {
        if (levels.length === 0 || levels.length > MAX_LEVELS) {
            throw new RangeError(`a set holds 1 to ${MAX_LEVELS} levels`);
        }
        /** @type {SetStep[]} */
        this.done = [];
        /** @type {SetStep[]} */
        this.undone = [];
        /** @type {Level[]} */
        this.levels = levels.map((l) =>
            this.made(cleanTitle(l.title), new Drawing(l.grid, undefined, l.text)),
        );
        /** the level open in the editor */
        this.current = 0;
    }

    /**
     * A level of this set: its drawing's steps join the set's undo order.
     * @param {string} title
     * @param {Drawing} drawing
     * @returns {Level}
     */
    made(title, drawing) {
        const level = { title, drawing };
        drawing.onStep = () => this.record({ level });
        return level;
    }

    /** @param {SetStep} step */
    record(step) {
        this.done.push(step);
        if (this.done.length > SET_HISTORY_LIMIT) this.done.splice(0, this.done.length - SET_HISTORY_LIMIT);
        this.undone = [];
    }

    /**
     * Changes the level list as one undoable step.
     * @param {() => void} change
     */
    reshape(change) {
        const before = this.levels.slice();
        const currentBefore = this.current;
        change();
        this.record({ before, after: this.levels.slice(), currentBefore, currentAfter: this.current });
    }

    get canUndo() {
        return this.done.length > 0 || this.levels[this.current]?.drawing.canUndo === true;
    }

    get canRedo() {
        return this.undone.length > 0;
    }

    /**
     * Takes back the last thing done anywhere in the set; its level opens.
     * Returns 'grid' for a drawing's step, 'levels' for the level list's,
     * or null when there is nothing to undo.
     * @returns {'grid' | 'levels' | null}
     */
    undo() {
        // A stroke still open is the newest thing done.
        this.levels[this.current]?.drawing.endStroke();
        return this.travel(this.done, this.undone, 'undo');
    }

    /** @returns {'grid' | 'levels' | null} */
    redo() {
        return this.travel(this.undone, this.done, 'redo');
    }

    /**
     * @param {SetStep[]} from
     * @param {SetStep[]} to
     * @param {'undo' | 'redo'} way
     * @returns {'grid' | 'levels' | null}
     */
    travel(from, to, way) {
        for (let step = from.pop(); step; step = from.pop()) {
            if ('level' in step) {
                const index = this.levels.indexOf(step.level);
                // A step on a level no longer in the set (its deletion was not undone) is past reach.
                if (index < 0) continue;
                if (!(way === 'undo' ? step.level.drawing.undo() : step.level.drawing.redo())) continue;
                this.current = index;
                to.push(step);
                return 'grid';
            }
            this.levels = (way === 'undo' ? step.before : step.after).slice();
            this.current = way === 'undo' ? step.currentBefore : step.currentAfter;
            to.push(step);
            return 'levels';
        }
        return null;
    }

    get length() {
        return this.levels.length;
    }

    /**
     * @param {number} index
     * @returns {Level}
     */
    level(index) {
        const level = this.levels[index];
        if (!level) throw new RangeError(`no level ${index + 1} in a set of ${this.length}`);
        return level;
    }

    /** @param {number} index */
    select(index) {
        this.level(index);
        this.current = index;
    }

    /**
     * Adds an empty level at index (default: after the last) and opens it.
     * Returns its index, or -1 when the set is full.
     * @param {number} [index]
     * @returns {number}
     */
    add(index = this.length) {
        return this.insert(index, this.made('', new Drawing()));
    }

    /**
     * Adds a copy of the level at index right after it (its grid and title,
     * with a fresh history) and opens it. Returns the copy's index, or -1
     * when the set is full.
     * @param {number} index
     * @returns {number}
     */
    duplicate(index) {
        const level = this.level(index);
        return this.insert(
            index + 1,
            this.made(level.title, new Drawing(level.drawing.grid.clone(), undefined, level.drawing.text)),
        );
    }

    /**
     * Deletes the level at index; the last one left is replaced by an empty
     * one instead. The open level stays open where it can, else its
     * neighbour opens. Undoable.
     * @param {number} index
     */
    remove(index) {
        this.level(index);
        this.reshape(() => {
            if (this.length === 1) {
                this.levels[0] = this.made('', new Drawing());
                return;
            }
            this.levels.splice(index, 1);
            if (this.current > index || this.current === this.length) this.current -= 1;
        });
    }

    /** Empties the set to one empty level. Undoable. */
    clear() {
        this.reshape(() => {
            this.levels = [this.made('', new Drawing())];
            this.current = 0;
        });
    }

    /**
     * Moves the level at from to index to; the others keep their order. The
     * open level stays open.
     * @param {number} from
     * @param {number} to
     */
    move(from, to) {
        const level = this.level(from);
        this.level(to);
        this.reshape(() => {
            const open = this.levels[this.current];
            this.levels.splice(from, 1);
            this.levels.splice(to, 0, level);
            this.current = this.levels.indexOf(open);
        });
    }

    /**
     * @param {number} index
     * @param {string} title
     */
    setTitle(index, title) {
        this.level(index).title = cleanTitle(title);
    }

    /**
     * The level files of the set in order, as the game reads them: each
     * level's text as it is.
     * @returns {LevelFile[]}
     */
    files() {
        return this.levels.map((l, i) => ({ name: levelFileName(i), text: l.drawing.text }));
    }

    /**
     * The set for the browser's storage (JSON). Titles, texts, grids and
     * the open level; undo histories are not kept.
     * @returns {string}
     */
    toStorage() {
        return JSON.stringify({
            format: STORAGE_FORMAT,
            version: STORAGE_VERSION,
            current: this.current,
            levels: this.levels.map((l) => ({
                title: l.title,
                cells: l.drawing.grid.toCode(),
                text: l.drawing.text,
            })),
        });
    }

    /**
     * The set stored by toStorage, checked field by field: storage can hold
     * anything a different version of the page, or a person, put there.
     * @param {unknown} stored
     * @returns {Result<LevelSet>}
     */
    static fromStorage(stored) {
        /** @param {string} why */
        const fail = (why) =>
            /** @type {const} */ ({ ok: false, error: `the stored levels cannot be used: ${why}` });
        if (typeof stored !== 'string') return fail('nothing stored');
        /** @type {any} */
        let data;
        try {
            data = JSON.parse(stored);
        } catch {
            return fail('not JSON');
        }
        if (!data || typeof data !== 'object' || data.format !== STORAGE_FORMAT)
            return fail('not a level set');
        // Version 1 kept no text: its levels' texts are their grids written out.
        if (data.version !== STORAGE_VERSION && data.version !== 1)
            return fail(`version ${String(data.version)} is not known`);
        const levels = data.levels;
        if (!Array.isArray(levels) || levels.length === 0 || levels.length > MAX_LEVELS) {
            return fail(`a set holds 1 to ${MAX_LEVELS} levels`);
        }
        /** @type {{title: string, grid: Grid, text?: string}[]} */
        const entries = [];
        for (let i = 0; i < levels.length; ++i) {
            const entry = levels[i];
            const grid = entry && typeof entry === 'object' ? Grid.fromCode(entry.cells) : null;
            if (!grid) return fail(`level ${i + 1} has no valid cells`);
            if (entry.title !== undefined && typeof entry.title !== 'string') {
                return fail(`level ${i + 1} has a title that is not text`);
            }
            const text = entry.text;
            if (text !== undefined && (typeof text !== 'string' || text.length > MAX_STORED_TEXT)) {
                return fail(`level ${i + 1} has a text that is not a level's`);
            }
            entries.push({ title: entry.title, grid, text });
        }
        const set = new LevelSet(entries);
        if (Number.isInteger(data.current) && data.current >= 0 && data.current < set.length) {
            set.current = data.current;
        }
        return { ok: true, value: set };
    }

    /**
     * @param {number} index
     * @param {Level} level
     * @returns {number}
     */
    insert(index, level) {
        if (this.length >= MAX_LEVELS) return -1;
        if (!Number.isInteger(index) || index < 0 || index > this.length) {
            throw new RangeError(`no place ${index + 1} in a set of ${this.length}`);
        }
        this.reshape(() => {
            this.levels.splice(index, 0, level);
            this.current = index;
        });
        return index;
    }
}
