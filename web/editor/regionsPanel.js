// @ts-check
// The region tools on the page: Select (R) turns the grid's drag into a
// selection; a drag inside the selection moves it, and so do the arrow
// keys; Ctrl+C, Ctrl+X, Ctrl+V, Delete, H and V copy, cut, paste, delete
// and flip it (left-right, top-bottom). Shift+arrows, or the move buttons
// with nothing selected, shift the whole level. The cells are worked out
// by regions.js; every change goes through the level's Drawing, each an
// undo step (a drag, over however many cells, one).

import {
    copyRegion,
    contains,
    deleteRegion,
    drawGrid,
    flipRegion,
    liftRegion,
    moveLifted,
    pasteClip,
    clipRect,
    rectOf,
    shiftLevel,
    stepInside,
    wholeGrid,
} from './regions.js';

/** @typedef {import('./regions.js').Rect} Rect */
/** @typedef {import('./regions.js').Clip} Clip */
/** @typedef {import('./regions.js').Lifted} Lifted */
/** @typedef {import('./grid.js').Grid} Grid */
/** @typedef {import('./grid.js').Place} Place */
/**
 * What the region tools need of the editor page.
 * @typedef {object} RegionHooks
 * @property {HTMLCanvasElement} canvas
 * @property {import('./gridView.js').GridView} view
 * @property {() => import('./drawing.js').Drawing} drawing the open level's
 * @property {() => void} gridChanged after a change to the grid: text, check, storage
 * @property {() => void} redraw
 * @property {(text: string, isError?: boolean) => void} notice
 */

/** @type {Record<string, [number, number]>} */
const ARROWS = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };

/**
 * Sets up the region tools in their box (the buttons carry data-region).
 * @param {HTMLElement} box
 * @param {RegionHooks} hooks
 */
export function setUpRegions(box, hooks) {
    const { canvas, view } = hooks;
    let active = false;
    /** @type {Rect | null} */
    let selection = null;
    /** @type {Clip | null} */
    let clip = null;
    // The selection's bricks lifted off the grid while it moves, and the
    // grid that left; any other change to the grid puts them down for good.
    /** @type {{lifted: Lifted, grid: Grid} | null} */
    let moving = null;
    /** @type {{kind: 'select' | 'move', start: Place, last: Place, from: Rect | null} | null} */
    let drag = null;

    const button = (/** @type {string} */ name) =>
        /** @type {HTMLButtonElement} */ (box.querySelector(`[data-region="${name}"]`));

    function show() {
        button('select').setAttribute('aria-pressed', String(active));
        for (const name of ['copy', 'cut', 'delete']) button(name).disabled = !selection;
        button('paste').disabled = !clip;
        canvas.classList.toggle('selecting', active);
        box.dataset.selection = selection
            ? `${selection.left},${selection.top},${selection.right},${selection.bottom}`
            : '';
        hooks.redraw();
    }

    view.overlays.push((context) => {
        if (selection)
            view.outline(
                context,
                { col: selection.left, row: selection.top },
                { col: selection.right, row: selection.bottom },
                '#ffffff',
                [3, 2],
            );
    });

    /** @param {Grid} grid the level after the change */
    function change(grid) {
        if (drawGrid(hooks.drawing(), grid).length > 0) hooks.gridChanged();
    }

    /** The lifted selection, lifted now if the grid changed since. */
    function lifted() {
        const grid = hooks.drawing().grid;
        if (!moving || !moving.grid.equals(grid))
            moving = selection ? { lifted: liftRegion(grid, selection), grid } : null;
        return moving;
    }

    /**
     * Moves the selection by (dx, dy), or the whole level when nothing is selected.
     * @param {number} dx
     * @param {number} dy
     */
    function move(dx, dy) {
        if (!selection) {
            shift(dx, dy);
            return;
        }
        const step = stepInside(selection, dx, dy);
        const state = lifted();
        if (!state || (step.dx === 0 && step.dy === 0)) return;
        const next = moveLifted(state.lifted, step.dx, step.dy);
        selection = next.rect;
        change(next.grid);
        moving = { lifted: next.lifted, grid: hooks.drawing().grid };
        show();
    }

    /**
     * The whole level a cell over; refused, with a word, when a brick would fall off.
     * @param {number} dx
     * @param {number} dy
     */
    function shift(dx, dy) {
        const shifted = shiftLevel(hooks.drawing().grid, dx, dy);
        if (!shifted) {
            hooks.notice('The level cannot move that way: a brick is at that edge.', true);
            return;
        }
        if (selection)
            selection = rectOf(
                { col: selection.left + dx, row: selection.top + dy },
                { col: selection.right + dx, row: selection.bottom + dy },
            );
        moving = null;
        change(shifted);
        show();
    }

    function copy() {
        if (selection) clip = copyRegion(hooks.drawing().grid, selection);
        show();
    }

    function remove() {
        if (!selection) return;
        change(deleteRegion(hooks.drawing().grid, selection));
    }

    /** Puts the copied cells down at the selection's corner (the grid's without one); they become the selection. */
    function paste() {
        if (!clip) return;
        const at = selection ? { col: selection.left, row: selection.top } : { col: 0, row: 0 };
        const grid = hooks.drawing().grid;
        const state = { base: grid, clip, at };
        selection = clipRect(clip, at);
        change(pasteClip(grid, clip, at));
        // Moved on, the pasted bricks leave what they covered as it was.
        moving = { lifted: state, grid: hooks.drawing().grid };
        show();
    }

    /** @param {'leftRight' | 'topBottom'} axis */
    function flip(axis) {
        change(flipRegion(hooks.drawing().grid, selection ?? wholeGrid(), axis));
    }

    /** @param {boolean} on */
    function setActive(on) {
        active = on;
        if (!on) selection = null;
        moving = null;
        show();
    }

    /** @type {Record<string, () => void>} */
    const actions = {
        select: () => setActive(!active),
        copy,
        cut: () => {
            copy();
            remove();
        },
        paste,
        delete: remove,
        'flip-lr': () => flip('leftRight'),
        'flip-tb': () => flip('topBottom'),
    };
    for (const element of box.querySelectorAll('[data-region]')) {
        const name = /** @type {HTMLElement} */ (element).dataset.region ?? '';
        element.addEventListener('click', () => {
            const arrow = ARROWS[name];
            if (arrow) move(arrow[0], arrow[1]);
            else actions[name]?.();
        });
    }

    // The grid's pointer, while selecting: these run before the page's
    // drawing listeners and keep the press from painting.
    /** @param {PointerEvent} event */
    function down(event) {
        if (!active) return;
        const place = view.placeOf(event);
        event.stopImmediatePropagation();
        if (!place) return;
        event.preventDefault();
        try {
            canvas.setPointerCapture(event.pointerId);
        } catch {
            // Captured or not, the drag ends at pointerup.
        }
        if (selection && contains(selection, place)) {
            // The whole drag is one undo step.
            drag = { kind: 'move', start: place, last: place, from: selection };
            hooks.drawing().beginStroke();
        } else {
            drag = { kind: 'select', start: place, last: place, from: null };
            selection = rectOf(place, place);
            moving = null;
            show();
        }
    }
    /** @param {PointerEvent} event */
    function over(event) {
        if (!drag) return;
        event.stopImmediatePropagation();
        const place = view.placeOf(event);
        if (!place || (place.col === drag.last.col && place.row === drag.last.row)) return;
        if (drag.kind === 'select') {
            drag.last = place;
            selection = rectOf(drag.start, place);
            show();
            return;
        }
        // The selection follows the pointer from where the drag began, held whole on the grid.
        drag.last = place;
        const from = /** @type {Rect} */ (drag.from);
        const step = stepInside(from, place.col - drag.start.col, place.row - drag.start.row);
        if (selection) move(from.left + step.dx - selection.left, from.top + step.dy - selection.top);
    }
    /** @param {PointerEvent} event */
    function up(event) {
        if (!drag) return;
        event.stopImmediatePropagation();
        if (drag.kind === 'move') {
            hooks.drawing().endStroke();
            hooks.redraw();
        }
        drag = null;
        if (canvas.hasPointerCapture(event.pointerId)) canvas.releasePointerCapture(event.pointerId);
    }
    canvas.addEventListener('pointerdown', down, { capture: true });
    canvas.addEventListener('pointermove', over, { capture: true });
    canvas.addEventListener('pointerup', up, { capture: true });
    canvas.addEventListener('pointercancel', up, { capture: true });

    // Keys: ahead of the page's own, so Delete empties the selection
    // rather than picking the empty brick.
    document.addEventListener(
        'keydown',
        (event) => {
            const target = /** @type {HTMLElement} */ (event.target);
            if (
                target.closest('input[type="text"], textarea, select, dialog') ||
                document.body.classList.contains('playing')
            )
                return;
            const key = event.key;
            const arrow = ARROWS[key];
            const command = event.ctrlKey || event.metaKey;
            /** @type {(() => void) | null} */
            let action = null;
            if (arrow && event.shiftKey && !command) action = () => shift(arrow[0], arrow[1]);
            else if (arrow && selection && !command) action = () => move(arrow[0], arrow[1]);
            else if (command && !event.shiftKey && selection && key.toLowerCase() === 'c') action = copy;
            else if (command && !event.shiftKey && selection && key.toLowerCase() === 'x')
                action = actions.cut;
            else if (command && !event.shiftKey && clip && key.toLowerCase() === 'v') action = paste;
            else if (command || event.altKey) return;
            else if (key === 'r' || key === 'R') action = actions.select;
            else if ((key === 'Delete' || key === 'Backspace') && selection) action = remove;
            else if (key === 'h' || key === 'H') action = actions['flip-lr'];
            else if (key === 'v' || key === 'V') action = actions['flip-tb'];
            else if (key === 'Escape' && selection)
                action = () => {
                    selection = null;
                    moving = null;
                    show();
                };
            if (!action) return;
            event.preventDefault();
            event.stopImmediatePropagation();
            action();
        },
        { capture: true },
    );

    show();
}
