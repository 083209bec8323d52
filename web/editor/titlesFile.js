// @ts-check
// The set's titles beside its level files: titles.txt in the zip and the
// folder, one line a titled level ("level3.txt: The wall"). The game reads
// only level1.txt, level2.txt, ... and never this file; the editor reads
// it back on open so titles travel with the set.

import { MAX_LEVELS, cleanTitle, levelFileName } from './levelSet.js';
import { levelNumber } from './levelFiles.js';

export const TITLES_FILE = 'titles.txt';

/**
 * The titles file for titles in set order; '' when no level has one.
 * @param {string[]} titles
 */
export function writeTitles(titles) {
    const lines = titles
        .map((title, i) => (title ? `${levelFileName(i)}: ${cleanTitle(title)}\n` : ''))
        .join('');
    return lines ? `# The editor's titles for these levels; the game does not read this file.\n${lines}` : '';
}

/**
 * The titles of a titles file by level file name; lines that are not a
 * title of a level file are passed over.
 * @param {string} text
 * @returns {Map<string, string>}
 */
export function readTitles(text) {
    /** @type {Map<string, string>} */
    const titles = new Map();
    for (const line of text.split(/\r?\n/)) {
        const match = /^(level[1-9][0-9]*\.txt): ?(.*)$/.exec(line);
        if (!match || levelNumber(match[1]) > MAX_LEVELS) continue;
        const title = cleanTitle(match[2]);
        if (title) titles.set(match[1], title);
    }
    return titles;
}
