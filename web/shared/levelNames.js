// @ts-check
// What a set of levels is called and how large it may be, wherever a set
// is made or read (the editor, a level link on the game's page): levels
// named level1.txt, level2.txt, ... as the game numbers its files, with
// titles of one short line.

// Enough for any set a designer keeps in one page, and a bound on what
// storage and links have to hold.
export const MAX_LEVELS = 100;
export const MAX_TITLE_LENGTH = 80;

/**
 * A title as a set keeps it: one line of text, control characters and
 * runs of white space made one space, trimmed, at most MAX_TITLE_LENGTH characters.
 * @param {unknown} title
 * @returns {string}
 */
export function cleanTitle(title) {
    if (typeof title !== 'string') return '';
    const plain = title.replace(/[\s\p{Cc}]+/gu, ' ').trim();
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
