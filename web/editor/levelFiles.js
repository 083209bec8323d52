// @ts-check
// Level files coming into the editor from a folder or a file picker: which
// of them form the set and in what order. The game plays level1.txt,
// level2.txt, ... from 1 without a gap, so a folder is read the same way;
// loose files picked one by one are taken by their number where they have
// one, the others after them by name.

import { MAX_LEVELS } from './levelSet.js';

const LEVEL_NAME = /^level([1-9][0-9]*)\.txt$/;
// A level file is a few hundred bytes; anything far larger is not one.
export const MAX_FILE_BYTES = 64 * 1024;

/**
 * The level number of a file name (level7.txt: 7), or 0.
 * @param {string} name
 */
export function levelNumber(name) {
    const match = LEVEL_NAME.exec(name);
    return match ? Number(match[1]) : 0;
}

/**
 * The names of a folder the game would play, in its order: level1.txt and
 * on while there is a next one.
 * @param {Iterable<string>} names
 * @returns {string[]}
 */
export function folderLevels(names) {
    const present = new Set(names);
    /** @type {string[]} */
    const order = [];
    for (let n = 1; n <= MAX_LEVELS && present.has(`level${n}.txt`); ++n) order.push(`level${n}.txt`);
    return order;
}

/**
 * Picked files in set order: numbered level files by number, then the rest
 * by name; at most MAX_LEVELS.
 * @template {{name: string}} F
 * @param {readonly F[]} files
 * @returns {F[]}
 */
export function pickedOrder(files) {
    return [...files]
        .sort((a, b) => {
            const na = levelNumber(a.name) || Infinity;
            const nb = levelNumber(b.name) || Infinity;
            if (na !== nb) return na - nb;
            return a.name < b.name ? -1 : a.name > b.name ? 1 : 0;
        })
        .slice(0, MAX_LEVELS);
}

/**
 * Names of level files in a folder that a save of a set of count levels
 * must remove, so the game does not play old levels after the set's last.
 * @param {Iterable<string>} names
 * @param {number} count
 * @returns {string[]}
 */
export function staleLevels(names, count) {
    return [...names].filter((name) => levelNumber(name) > count);
}
