// @ts-check
// The levels panel: the open set's levels in order, the open level's
// title, and adding, duplicating, deleting and moving levels.

import { levelFileName } from './levelSet.js';
import { byId, editor, emit, on, showNotice } from './pageContext.js';

const titleInput = /** @type {HTMLInputElement} */ (byId('title'));

/** Shows the open level: list, title, grid, text, and checks it. */
export function openLevel() {
    emit('level-opened');
}

/**
 * Makes a set the editor's.
 * @param {import('./levelSet.js').LevelSet} next
 */
export function startSet(next) {
    editor.set = next;
    openLevel();
}

function showLevels() {
    const { set } = editor;
    byId('level-list').replaceChildren(
        ...set.levels.map((level, index) => {
            const item = document.createElement('li');
            const button = document.createElement('button');
            button.type = 'button';
            button.textContent = level.title
                ? `${levelFileName(index)} · ${level.title}`
                : levelFileName(index);
            if (index === set.current) button.setAttribute('aria-current', 'true');
            button.addEventListener('click', () => {
                set.select(index);
                openLevel();
            });
            item.append(button);
            return item;
        }),
    );
    byId('delete-level').toggleAttribute('disabled', false);
    byId('move-up').toggleAttribute('disabled', set.current === 0);
    byId('move-down').toggleAttribute('disabled', set.current === set.length - 1);
}

/** A change to the set's levels: shown, and kept. */
function reordered() {
    openLevel();
    emit('set-changed');
}

/** @param {number} index the level added, or -1 */
function added(index) {
    if (index < 0) {
        showNotice('A set holds at most 100 levels.', true);
        return;
    }
    reordered();
}

byId('add-level').addEventListener('click', () => added(editor.set.add(editor.set.current + 1)));
byId('duplicate-level').addEventListener('click', () => added(editor.set.duplicate(editor.set.current)));
byId('delete-level').addEventListener('click', () => {
    editor.set.remove(editor.set.current);
    reordered();
});
byId('clear-set').addEventListener('click', () => {
    editor.set.clear();
    reordered();
    showNotice('The set is cleared to one empty level. Undo brings its levels back.');
});
byId('move-up').addEventListener('click', () => {
    if (editor.set.current > 0) editor.set.move(editor.set.current, editor.set.current - 1);
    reordered();
});
byId('move-down').addEventListener('click', () => {
    if (editor.set.current < editor.set.length - 1)
        editor.set.move(editor.set.current, editor.set.current + 1);
    reordered();
});

titleInput.addEventListener('input', () => {
    editor.set.setTitle(editor.set.current, titleInput.value);
    showLevels();
    emit('set-changed');
});

on('level-opened', () => {
    titleInput.value = editor.set.level(editor.set.current).title;
    showLevels();
});
