// @ts-check
// What the editor page's panels share: the page's elements by id, the
// notice line, levelcheck's worker pool, the grid's view, the open set, and
// the few events by which one panel tells the others what happened. Each
// panel (gridPanel.js, checkPanel.js, levelsPanel.js, ...) owns its part of
// the page and listens for the events it shows.

import { LevelCheckPool } from '../levelcheck/levelcheck-pool.js';
import { GridView, loadBrickImages } from './gridView.js';
import { LevelSet } from './levelSet.js';

/**
 * @template {HTMLElement} T
 * @param {string} id
 * @returns {T}
 */
export function byId(id) {
    const element = document.getElementById(id);
    if (!element) throw new Error(`the page has no #${id}`);
    return /** @type {T} */ (element);
}

/**
 * What happened, for the panels that show it:
 * - level-opened: another level (or set) is open; everything is shown anew
 * - grid-changed: the designer changed the grid (drawing, undo); the text is rewritten
 * - text-read: the loader's reading of typed text became the grid
 * - set-changed: the set changed in any way worth keeping (stored soon after)
 * - checked: the open level's text was checked (the result is in editor.lastCheck)
 * - set-switched: another set is open (before its level-opened)
 * - swept: a sweep ended, or its results went stale or away (editor.sweepErrors)
 * @typedef {'level-opened' | 'grid-changed' | 'text-read' | 'set-changed' | 'checked' | 'set-switched' | 'swept'} EditorEvent
 */

/** @type {Map<EditorEvent, (() => void)[]>} */
const listeners = new Map();

/**
 * @param {EditorEvent} event
 * @param {() => void} listener
 */
export function on(event, listener) {
    listeners.set(event, [...(listeners.get(event) ?? []), listener]);
}

/** @param {EditorEvent} event */
export function emit(event) {
    for (const listener of listeners.get(event) ?? []) listener();
}

// ?workers=N sweeps on N workers instead of one per core (the benchmark compares like with like).
const workers = Number(new URLSearchParams(location.search).get('workers'));

export const editor = {
    pool: new LevelCheckPool(
        Number.isInteger(workers) && workers > 0 && workers <= 64 ? { size: workers } : {},
    ),
    view: new GridView(
        /** @type {HTMLCanvasElement} */ (byId('grid')),
        await loadBrickImages(new URL('images/', import.meta.url)),
    ),
    /** @type {LevelSet} */
    set: new LevelSet(),
    /** @type {import('../levelcheck/levelcheck.js').CheckResult | null} the check of the open level's text */
    lastCheck: null,
    /** @type {import('./sweepReport.js').SweepLine[]} the last sweep's errors (caged serves), shown with the check's */
    sweepErrors: [],
    /** whether the level changed since that sweep */
    sweepStale: false,
    /** @type {'edit' | 'undo' | 'redo'} what the grid-changed being handled is */
    change: /** @type {'edit' | 'undo' | 'redo'} */ ('edit'),
};

/** The open level's drawing. */
export function drawing() {
    return editor.set.level(editor.set.current).drawing;
}

const notice = byId('notice');
const noticeBox = byId('notice-box');
const linkOut = /** @type {HTMLInputElement} */ (byId('link-out'));

/**
 * Shows a notice over the page's foot until closed; '' closes it. A link
 * goes in a box of its own to select and copy.
 * @param {string} text
 * @param {boolean} [isError]
 * @param {string} [link]
 */
export function showNotice(text, isError = false, link = '') {
    notice.textContent = text;
    noticeBox.className = isError ? 'error' : '';
    noticeBox.hidden = text === '';
    linkOut.value = link;
    linkOut.hidden = link === '';
}
byId('notice-close').addEventListener('click', () => showNotice(''));

/**
 * A failure the designer should read; a cancelled picker is none.
 * @param {unknown} error
 */
export function failed(error) {
    if (error instanceof DOMException && error.name === 'AbortError') return;
    showNotice(error instanceof Error ? error.message : String(error), true);
}
