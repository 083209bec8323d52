// @ts-check
// The tools a designer reaches for, in their own section of the editor
// page: the region tools (regionsPanel.js), the level's difficulty while
// it is drawn (difficulty.js), the gallery of shipped levels to start
// from, playing from the open level on, and a link to the open level alone
// (Copy link shares the whole set).

import { LevelCheckPool } from '../levelcheck/levelcheck-pool.js';
import { Drawing } from './drawing.js';
import { Grid } from './grid.js';
import { GridView } from './gridView.js';
import { redraw } from './gridPanel.js';
import { levelFileName } from './levelSet.js';
import { openLevel } from './levelsPanel.js';
import { byId, drawing, editor, emit, failed, on, showNotice } from './pageContext.js';
import { playInPage } from './playGame.js';
import { setUpRegions } from './regionsPanel.js';
import { DifficultyWatch, describeDifficulty } from './difficulty.js';
import { storeNow } from './setsPanel.js';
import * as sweepPanel from './sweepPanel.js';
import { loadShippedLevels } from './shippedLevels.js';
import { encodeShare } from '../shared/shareCodec.js';

/** @typedef {import('./shippedLevels.js').ShippedLevel} ShippedLevel */
/** @typedef {import('./levelSet.js').LevelFile} LevelFile */

/**
 * The level files to play from the level at index on: that level is
 * level1.txt, the next level2.txt, and so on, as the game numbers them.
 * @param {readonly LevelFile[]} files the set's
 * @param {number} index
 * @returns {LevelFile[]}
 */
export function filesFrom(files, index) {
    return files.slice(index).map((file, i) => ({ name: levelFileName(i), text: file.text }));
}

setUpRegions(byId('regions'), {
    canvas: /** @type {HTMLCanvasElement} */ (byId('grid')),
    view: editor.view,
    drawing,
    gridChanged: () => emit('grid-changed'),
    redraw,
    notice: showNotice,
});

// ---------------------------------------------------------------------------
// Play this level

byId('play-level').addEventListener('click', async () => {
    storeNow();
    try {
        await playInPage(
            byId('game'),
            /** @type {HTMLCanvasElement} */ (byId('game-canvas')),
            filesFrom(editor.set.files(), editor.set.current),
            (line) => console.log(line),
        );
    } catch (error) {
        failed(error);
    }
    redraw();
});

// ---------------------------------------------------------------------------
// A link to the open level

byId('share-level').addEventListener('click', async () => {
    const level = editor.set.level(editor.set.current);
    const encoded = await encodeShare([{ title: level.title, text: level.drawing.text }]);
    if (!encoded.ok) {
        showNotice(encoded.error, true);
        return;
    }
    // As Copy link: to the clipboard and the notice's box, never into this page's address.
    const link = new URL(`editor.html#${encoded.fragment}`, location.href).href;
    let copied = true;
    try {
        await navigator.clipboard.writeText(link);
    } catch {
        copied = false;
    }
    showNotice(
        `${copied ? 'A link to this level alone is copied' : 'The browser did not let the page copy the link: copy it from the box'}` +
            ` (${link.length} characters); the game's page plays it with index.html in place of editor.html.`,
        false,
        link,
    );
    document.body.dataset.link = link;
});

// ---------------------------------------------------------------------------
// The shipped levels: the README's figures, for the gallery and the curve

/** @type {Promise<ShippedLevel[]>} */
const shipped = loadShippedLevels(new URL('shipped-levels.json', import.meta.url)).then((result) => {
    if (!result.ok) throw new Error(result.error);
    return result.value;
});
shipped.catch(() => {});

// ---------------------------------------------------------------------------
// Difficulty while drawing

const line = byId('difficulty');
/** @type {ShippedLevel[]} */
let curve = [];

/** @param {import('./difficulty.js').WatchState} state */
function showDifficulty(state) {
    line.dataset.state = state.state;
    line.classList.toggle('caged', state.state === 'done' && (state.difficulty?.caged ?? 0) > 0);
    if (state.state === 'done' && state.difficulty) {
        const d = state.difficulty;
        line.textContent = `Difficulty: ${describeDifficulty(d, curve)}.`;
        line.dataset.share = String(d.share);
        line.dataset.minutes = d.medianMinutes === null ? '' : String(d.medianMinutes);
        line.dataset.caged = String(d.caged);
        return;
    }
    for (const key of ['share', 'minutes', 'caged']) delete line.dataset[key];
    line.textContent =
        state.state === 'waiting'
            ? 'Difficulty: measured once the level holds still…'
            : state.state === 'measuring'
              ? `Difficulty: sweeping in the background, ${state.progress?.done ?? 0} of ${state.progress?.total || 60} serves…`
              : state.state === 'nothing'
                ? 'Difficulty: nothing to clear (no breakable brick).'
                : state.state === 'failed'
                  ? `Difficulty: the sweep failed (${state.error}).`
                  : 'Difficulty: draw a level.';
}

/**
 * Waits while another sweep (the designer's own, from the Sweep button)
 * has the workers: starting one would stop it.
 * @param {AbortSignal} signal
 */
async function workersFree(signal) {
    while (editor.pool.currentSweep && !signal.aborted)
        await new Promise((resolve) => setTimeout(resolve, 250));
    if (signal.aborted) throw new DOMException('the level changed', 'AbortError');
}

const watch = new DifficultyWatch({
    sweep: async (text, signal, onProgress) => {
        await workersFree(signal);
        return editor.pool.sweep(text, {
            quiet: true,
            signal,
            onProgress: ({ done, total }) => onProgress(done, total),
        });
    },
    onState: showDifficulty,
});
shipped.then(
    (levels) => {
        curve = levels;
        showDifficulty(watch.current);
    },
    () => {},
);
on('checked', () => {
    if (editor.lastCheck) watch.changed(drawing().text, editor.lastCheck.counts.hits > 0);
});
// The designer's own sweep of the open level's text gives its figures too,
// so the background need not sweep it again. A level's kept sweep shown
// on opening it may be stale; the sweep panel marks that right after.
on('swept', () =>
    queueMicrotask(() => {
        if (sweepPanel.lastSweep && !editor.sweepStale) watch.offer(drawing().text, sweepPanel.lastSweep);
    }),
);

// ---------------------------------------------------------------------------
// The gallery: each shipped level in the game's bricks, with its name and
// figures; choosing one adds it after the open level, its file's text as it is.

const dialog = /** @type {HTMLDialogElement} */ (byId('gallery'));
const list = byId('gallery-list');
let filled = false;
byId('gallery-open').addEventListener('click', async () => {
    dialog.showModal();
    if (filled) return;
    filled = true;
    // The game's own loader reads each level, as it reads the designer's,
    // in a worker of the gallery's own: the page's checker keeps only its
    // newest request, and the designer's checks must not be dropped for these.
    const reader = new LevelCheckPool({ size: 1 });
    try {
        const levels = await shipped;
        /** @type {HTMLLIElement[]} */
        const cards = [];
        for (const level of levels) {
            const check = await reader.check(level.text, {
                name: levelFileName(level.number - 1),
                quiet: true,
            });
            if (!check) throw new Error('the check was cut short');
            cards.push(card(level, Grid.fromCheckCells(check.cells)));
        }
        // All at once, so nothing moves under the pointer while they come.
        list.replaceChildren(...cards);
    } catch (error) {
        filled = false;
        list.textContent = error instanceof Error ? error.message : String(error);
    } finally {
        reader.close();
    }
});
byId('gallery-close').addEventListener('click', () => dialog.close());

/**
 * @param {ShippedLevel} level
 * @param {Grid} grid the loader's reading of its text
 */
function card(level, grid) {
    const item = document.createElement('li');
    const button = document.createElement('button');
    button.type = 'button';
    button.dataset.level = String(level.number);
    const canvas = document.createElement('canvas');
    const view = new GridView(canvas, editor.view.images);
    view.fit(320, 171);
    view.draw(grid);
    const name = document.createElement('strong');
    name.textContent = `${level.number} ${level.name}`;
    const figures = document.createElement('span');
    figures.textContent =
        `${level.bricks} bricks, ${level.hits} hits; clears from ${level.clears}%, ` +
        `${level.minutes.toFixed(1)} min to clear`;
    button.append(canvas, name, figures);
    button.addEventListener('click', () => {
        dialog.close();
        const { set } = editor;
        const index = set.insert(
            set.current + 1,
            set.made(level.name, new Drawing(grid.clone(), undefined, level.text)),
        );
        if (index < 0) {
            showNotice('A set holds at most 100 levels.', true);
            return;
        }
        openLevel();
        emit('set-changed');
        showNotice(
            `Added shipped level ${level.number}, ${level.name}, as a new level to change; the game's own file is untouched.`,
        );
    });
    item.append(button);
    return item;
}
