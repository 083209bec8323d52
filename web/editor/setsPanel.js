// @ts-check
// The sets panel: the sets kept in this browser, listed and switched
// between, named, added and (on a confirmed request) deleted; the open set
// kept a moment after each change and when the page is left; and where
// the work is kept, said plainly.

import { startSet } from './levelsPanel.js';
import { LevelSet } from './levelSet.js';
import { byId, editor, emit, failed, on, showNotice } from './pageContext.js';
import { SetsStore } from './setsStore.js';

const list = /** @type {HTMLSelectElement} */ (byId('set-list'));
const nameInput = /** @type {HTMLInputElement} */ (byId('set-name'));
/** @type {SetsStore | null} null when this browser keeps nothing for the page */
let store = null;
/** @type {string | null} the open set's id in the store */
let openId = null;

try {
    store = new SetsStore(localStorage);
} catch (error) {
    showNotice(
        `This browser keeps nothing for this page (${String(error)}): download your work to keep it.`,
        true,
    );
}
byId('kept-where').textContent = store
    ? `Kept in this browser, for ${location.origin} only. Download the set or save it to a folder to keep it anywhere else.`
    : 'Not kept: this browser keeps nothing for this page. Download the set or save it to a folder.';

let storeTimer = 0;
/** Whether the open set has changes not yet kept. */
let unsaved = false;
function scheduleStore() {
    unsaved = true;
    clearTimeout(storeTimer);
    storeTimer = window.setTimeout(storeNow, 150);
}

/**
 * Writes the open set's changes to the browser's storage now. A set with
 * none is not written: another tab may have changed it since.
 */
export function storeNow() {
    clearTimeout(storeTimer);
    if (!store || openId === null || !unsaved) return;
    unsaved = false;
    try {
        store.save(openId, editor.set, nameInput.value);
    } catch (error) {
        unsaved = true;
        showNotice(
            `The set could not be kept in this browser: ${String(error)}. Download it to keep it.`,
            true,
        );
    }
    showSets();
}

function showSets() {
    const entries = store ? store.list() : [];
    list.replaceChildren(
        ...entries.map((e) => {
            const option = document.createElement('option');
            option.value = e.id;
            option.textContent = `${e.name} (${e.levels} ${e.levels === 1 ? 'level' : 'levels'})`;
            option.selected = e.id === openId;
            return option;
        }),
    );
    nameInput.value = (openId && store?.entry(openId)?.name) || '';
    byId('delete-set').toggleAttribute('disabled', entries.length === 0);
}

/**
 * Opens a kept set.
 * @param {string} id
 */
function openSet(id) {
    if (!store) return;
    const read = store.load(id);
    if (!read.ok) {
        showNotice(`${read.error}.`, true);
        return;
    }
    openId = id;
    unsaved = false;
    store.remember(id);
    emit('set-switched');
    startSet(read.value);
    showSets();
}

/**
 * Keeps a set beside the others and opens it: what opening a link, files
 * or a folder does. Never writes over another set.
 * @param {string} name
 * @param {LevelSet} set
 */
export function keepAsNewSet(name, set) {
    storeNow();
    openId = null;
    unsaved = false;
    if (store) {
        try {
            openId = store.add(name, set);
            store.remember(openId);
        } catch (error) {
            showNotice(
                `The new set could not be kept in this browser: ${String(error)}. Download it to keep it.`,
                true,
            );
        }
    }
    emit('set-switched');
    startSet(set);
    showSets();
}

/** Opens the set open last, or the newest, or a new one. */
export function openKeptSet() {
    const id = store ? (store.openSet() ?? store.list()[0]?.id) : undefined;
    if (id && store) {
        const read = store.load(id);
        if (read.ok) {
            openId = id;
            startSet(read.value);
            showSets();
            return;
        }
        // A set that cannot be read stays kept as it is, for a newer page; this one starts anew.
        showNotice(`${read.error}; a new set is opened beside it.`, true);
    }
    keepAsNewSet('My levels', new LevelSet());
}

list.addEventListener('change', () => {
    const chosen = list.value;
    storeNow();
    openSet(chosen);
});
nameInput.addEventListener('change', () => {
    if (store && openId) store.rename(openId, nameInput.value);
    showSets();
});
byId('new-set').addEventListener('click', () => {
    const count = store ? store.list().length : 0;
    keepAsNewSet(`Set ${count + 1}`, new LevelSet());
    showNotice('A new, empty set is open; the others are kept in the list of sets.');
});
byId('delete-set').addEventListener('click', () => {
    if (!store || openId === null) return;
    const name = store.entry(openId)?.name ?? 'this set';
    if (
        !window.confirm(
            `Delete the set "${name}" from this browser for good? ` +
                'Download it first to keep a copy. This cannot be undone.',
        )
    )
        return;
    try {
        store.remove(openId);
        openId = null;
        openKeptSet();
        showNotice(`The set "${name}" is deleted.`);
    } catch (error) {
        failed(error);
    }
});

on('set-changed', scheduleStore);
// Another tab of the editor added, renamed or deleted a set.
window.addEventListener('storage', () => showSets());
window.addEventListener('pagehide', storeNow);
