// @ts-check
// The levels open in the editor: an ordered set, named level1.txt,
// level2.txt, ... by position as the game numbers its level files, each
// with its own drawing (and undo history) and an optional title for the
// designer. Serialised for the browser's storage, and written out as the
// files of a folder or a zip.

import { Drawing } from './drawing.js';
import { Grid } from './grid.js';
import { writeLevelText } from './levelText.js';

/** @typedef {{title: string, drawing: Drawing}} Level */
/** @typedef {{name: string, text: string}} LevelFile */
/**
 * @template T
 * @typedef {{ok: true, value: T} | {ok: false, error: string}} Result
 */

// Enough for any set a designer keeps in one page, and a bound on what
// storage and links have to hold.
export const MAX_LEVELS = 100;
export const MAX_TITLE_LENGTH = 80;
export const STORAGE_FORMAT = 'quadrell-level-set';
export const STORAGE_VERSION = 1;

/**
 * A title as the set keeps it: one line of text, control characters and
 * runs of white space made one space, trimmed, at most MAX_TITLE_LENGTH characters.
 * @param {unknown} title
 * @returns {string}
 */
export function cleanTitle(title) {
    if (typeof title !== 'string') return '';
    const plain = title.replace(/[\s\u0000-\u001f\u007f]+/g, ' ').trim();
    return [...plain].slice(0, MAX_TITLE_LENGTH).join('').trim();
}

/**
 * The file name of the level at index (from 0): level1.txt, level2.txt, ...
 * @param {number} index
 * @returns {string}
 */
export function levelFileName(index) {
    return `level${index + 1}.txt`;
}

export class LevelSet {
    /**
     * A set of the given levels, or of one empty level. A set is never
     * empty: the editor always has a level to draw on.
     * @param {{title?: string, grid?: Grid}[]} [levels]
     */
    constructor(levels = [{}]) {
        if (levels.length === 0 || levels.length > MAX_LEVELS) {
            throw new RangeError(`a set holds 1 to ${MAX_LEVELS} levels`);
        }
        /** @type {Level[]} */
        this.levels = levels.map((l) => ({ title: cleanTitle(l.title), drawing: new Drawing(l.grid) }));
        /** the level open in the editor */
        this.current = 0;
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
        return this.insert(index, { title: '', drawing: new Drawing() });
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
        return this.insert(index + 1, { title: level.title, drawing: new Drawing(level.drawing.grid.clone()) });
    }

    /**
     * Deletes the level at index; the last one left is emptied instead. The
     * open level stays open where it can, else its neighbour opens.
     * @param {number} index
     */
    remove(index) {
        this.level(index);
        if (this.length === 1) {
            this.levels[0] = { title: '', drawing: new Drawing() };
            return;
        }
        this.levels.splice(index, 1);
        if (this.current > index || this.current === this.length) this.current -= 1;
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
        const open = this.levels[this.current];
        this.levels.splice(from, 1);
        this.levels.splice(to, 0, level);
        this.current = this.levels.indexOf(open);
    }

    /**
     * @param {number} index
     * @param {string} title
     */
    setTitle(index, title) {
        this.level(index).title = cleanTitle(title);
    }

    /**
     * The level files of the set in order, as the game reads them.
     * @returns {LevelFile[]}
     */
    files() {
        return this.levels.map((l, i) => ({ name: levelFileName(i), text: writeLevelText(l.drawing.grid) }));
    }

    /**
     * The set for the browser's storage (JSON). Titles, grids and the open
     * level; undo histories are not kept.
     * @returns {string}
     */
    toStorage() {
        return JSON.stringify({
            format: STORAGE_FORMAT,
            version: STORAGE_VERSION,
            current: this.current,
            levels: this.levels.map((l) => ({ title: l.title, cells: l.drawing.grid.toCode() })),
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
        const fail = (why) => /** @type {const} */ ({ ok: false, error: `the stored levels cannot be used: ${why}` });
        if (typeof stored !== 'string') return fail('nothing stored');
        /** @type {any} */
        let data;
        try {
            data = JSON.parse(stored);
        } catch {
            return fail('not JSON');
        }
        if (!data || typeof data !== 'object' || data.format !== STORAGE_FORMAT) return fail('not a level set');
        if (data.version !== STORAGE_VERSION) return fail(`version ${String(data.version)} is not known`);
        const levels = data.levels;
        if (!Array.isArray(levels) || levels.length === 0 || levels.length > MAX_LEVELS) {
            return fail(`a set holds 1 to ${MAX_LEVELS} levels`);
        }
        /** @type {{title: string, grid: Grid}[]} */
        const entries = [];
        for (let i = 0; i < levels.length; ++i) {
            const entry = levels[i];
            const grid = entry && typeof entry === 'object' ? Grid.fromCode(entry.cells) : null;
            if (!grid) return fail(`level ${i + 1} has no valid cells`);
            if (entry.title !== undefined && typeof entry.title !== 'string') {
                return fail(`level ${i + 1} has a title that is not text`);
            }
            entries.push({ title: entry.title, grid });
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
        this.levels.splice(index, 0, level);
        this.current = index;
        return index;
    }
}
