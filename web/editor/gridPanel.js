// @ts-check
// The grid panel: the canvas drawn with the game's bricks, drawing on it
// with the mouse (or a finger), the brick palette, the rectangle and mirror
// switches, undo and redo, and the keys for them.

import { byId, drawing, editor, emit, on } from './pageContext.js';

/** @typedef {import('./grid.js').Place} Place */
/** @typedef {import('./grid.js').Kind} Kind */

const canvas = /** @type {HTMLCanvasElement} */ (byId('grid'));
const { view } = editor;
/** @type {Kind | 'capsule'} */
let tool = 1;
const mirror = { leftRight: false, topBottom: false };
view.mirror = mirror;

/** Draws the open level's grid and sets the undo buttons. */
export function redraw() {
    view.draw(drawing().grid);
    byId('undo').toggleAttribute('disabled', !editor.set.canUndo);
    byId('redo').toggleAttribute('disabled', !editor.set.canRedo);
}

/** After the designer changed the grid. */
function gridChanged() {
    emit('grid-changed');
}

// The drag under way: what it does, where it began and the last cell it reached.
/** @type {{mode: 'paint' | 'erase' | 'capsule' | 'fill', erase: boolean, start: Place, last: Place} | null} */
let drag = null;

/**
 * @param {Place} place
 * @param {'paint' | 'erase' | 'capsule'} mode
 */
function apply(place, mode) {
    if (mode === 'capsule') return drawing().toggleCapsule(place).length > 0;
    const kind = mode === 'erase' || tool === 'capsule' ? 'empty' : tool;
    return drawing().paint(place, kind).length > 0;
}

/**
 * The cells from a to b, so a fast drag leaves no gaps.
 * @param {Place} a
 * @param {Place} b
 * @returns {Place[]}
 */
function cellsBetween(a, b) {
    const steps = Math.max(Math.abs(b.col - a.col), Math.abs(b.row - a.row));
    /** @type {Place[]} */
    const places = [];
    for (let i = 1; i <= steps; ++i) {
        places.push({
            col: Math.round(a.col + ((b.col - a.col) * i) / steps),
            row: Math.round(a.row + ((b.row - a.row) * i) / steps),
        });
    }
    return places;
}

canvas.addEventListener('contextmenu', (event) => event.preventDefault());
canvas.addEventListener('pointerdown', (event) => {
    const place = view.placeOf(event);
    if (!place) return;
    event.preventDefault();
    try {
        canvas.setPointerCapture(event.pointerId);
    } catch {
        // A pointer the browser no longer tracks: the drag just ends at the canvas's edge.
    }
    const erase = event.button === 2 || event.shiftKey;
    const mode = erase ? 'erase' : tool === 'capsule' ? 'capsule' : 'paint';
    if (byId('fill').matches(':checked')) {
        drag = { mode: 'fill', erase, start: place, last: place };
        view.pending = { a: place, b: place };
        redraw();
        return;
    }
    // Every cell of the drag is shown and checked at once, and undoes as one step.
    drag = { mode, erase, start: place, last: place };
    drawing().beginStroke();
    if (apply(place, mode)) gridChanged();
});
/**
 * The cell under the pointer, outlined.
 * @param {Place | null} place
 */
function hover(place) {
    const same = place && view.hover && place.col === view.hover.col && place.row === view.hover.row;
    if (same || (!place && !view.hover)) return;
    view.hover = place;
    redraw();
}
canvas.addEventListener('pointerleave', () => hover(null));
canvas.addEventListener('pointermove', (event) => {
    // A finger has no hover: only a mouse or a pen shows the cell under it.
    if (event.pointerType !== 'touch') hover(view.placeOf(event));
    if (!drag) return;
    const place = view.placeOf(event);
    if (!place || (place.col === drag.last.col && place.row === drag.last.row)) return;
    if (drag.mode === 'fill') {
        drag.last = place;
        view.pending = { a: drag.start, b: place };
        redraw();
        return;
    }
    let painted = false;
    for (const p of cellsBetween(drag.last, place))
        painted = apply(p, /** @type {'paint' | 'erase' | 'capsule'} */ (drag.mode)) || painted;
    drag.last = place;
    if (painted) gridChanged();
});
/** @param {PointerEvent} event */
function endDrag(event) {
    if (!drag) return;
    const ended = drag;
    drag = null;
    if (canvas.hasPointerCapture(event.pointerId)) canvas.releasePointerCapture(event.pointerId);
    if (ended.mode === 'fill') {
        view.pending = null;
        // With the capsule tool a rectangle marks (or unmarks) its bricks; a right drag empties it.
        if (tool === 'capsule' && !ended.erase) drawing().markCapsules(ended.start, ended.last);
        else drawing().fill(ended.start, ended.last, ended.erase || tool === 'capsule' ? 'empty' : tool);
        gridChanged();
        return;
    }
    drawing().endStroke();
    redraw();
}
canvas.addEventListener('pointerup', endDrag);
canvas.addEventListener('pointercancel', endDrag);

/** @param {Kind | 'capsule'} kind */
function selectTool(kind) {
    tool = kind;
    for (const button of byId('palette').querySelectorAll('button')) {
        const pressed = button.dataset.kind === String(kind);
        button.setAttribute('aria-pressed', String(pressed));
    }
}

for (const button of byId('palette').querySelectorAll('button')) {
    button.addEventListener('click', () => {
        const kind = button.dataset.kind ?? '1';
        selectTool(/** @type {Kind | 'capsule'} */ (/^[123]$/.test(kind) ? Number(kind) : kind));
    });
}

function setMirror() {
    mirror.leftRight = byId('mirror-lr').matches(':checked');
    mirror.topBottom = byId('mirror-tb').matches(':checked');
    drawing().mirror = mirror;
    redraw();
}
byId('mirror-lr').addEventListener('change', setMirror);
byId('mirror-tb').addEventListener('change', setMirror);

/**
 * Shows what undo or redo took back or made again, anywhere in the set:
 * a grid's step on another level, or a level deleted, opens that level.
 * @param {'grid' | 'levels' | null} what
 * @param {number} before the level open before
 */
function travelled(what, before) {
    if (what === 'grid' && editor.set.current === before) gridChanged();
    else if (what) {
        emit('level-opened');
        emit('set-changed');
    }
}
function undo() {
    const before = editor.set.current;
    editor.change = 'undo';
    travelled(editor.set.undo(), before);
    editor.change = 'edit';
}
function redo() {
    const before = editor.set.current;
    editor.change = 'redo';
    travelled(editor.set.redo(), before);
    editor.change = 'edit';
}
byId('undo').addEventListener('click', undo);
byId('redo').addEventListener('click', redo);

/** @type {Record<string, Kind | 'capsule'>} */
const toolKeys = { 1: 1, 2: 2, 3: 3, 4: 'solid', 0: 'empty', Delete: 'empty', s: 'capsule', S: 'capsule' };
document.addEventListener('keydown', (event) => {
    if (!byId('game').hidden) return;
    const target = /** @type {HTMLElement} */ (event.target);
    // Typing into the title or the text is not drawing; a ticked box keeps the keys.
    if (target.closest('input[type="text"], textarea, select')) return;
    const key = event.key;
    if (event.ctrlKey || event.metaKey) {
        if (key.toLowerCase() === 'z' && event.shiftKey) redo();
        else if (key.toLowerCase() === 'z') undo();
        else if (key.toLowerCase() === 'y') redo();
        else return;
        event.preventDefault();
        return;
    }
    if (event.altKey) return;
    if (key in toolKeys) selectTool(toolKeys[key]);
    else if (key === 'f' || key === 'F') byId('fill').click();
    else if (key === 'm' || key === 'M') byId('mirror-lr').click();
    else return;
    event.preventDefault();
});

on('level-opened', () => {
    drawing().mirror = mirror;
    view.marked = null;
});

function fit() {
    const box = byId('grid-box');
    view.fit(box.clientWidth, Math.max(window.innerHeight * 0.7, 200));
    redraw();
}
window.addEventListener('resize', fit);
selectTool(1);
document.body.classList.toggle('touch', navigator.maxTouchPoints > 0 || 'ontouchstart' in window);
fit();
