// @ts-check
// The tools a designer reaches for, in their own section of the editor
// page: the region tools (regionsPanel.js), the level's difficulty while
// it is drawn (difficulty.js), the gallery of shipped levels to start
// from, playing from the open level on, and a link to the open level or
// the whole set. The page hands in what they need of it (DesignerHooks)
// and tells them of each check and of its own sweeps.

import { Grid } from './grid.js';
import { GridView } from './gridView.js';
import { levelFileName } from './levelSet.js';
import { setUpRegions } from './regionsPanel.js';
import { DifficultyWatch, describeDifficulty } from './difficulty.js';
import { loadShippedLevels } from './shippedLevels.js';
import { encodeShare } from './shareCodec.js';

/** @typedef {import('./shippedLevels.js').ShippedLevel} ShippedLevel */
/** @typedef {import('./levelSet.js').LevelFile} LevelFile */
/** @typedef {import('../levelcheck/levelcheck.js').CheckResult} CheckResult */
/** @typedef {import('../levelcheck/levelcheck.js').SweepReport} SweepReport */
/**
 * @typedef {object} DesignerHooks
 * @property {import('../levelcheck/levelcheck-pool.js').LevelCheckPool} pool
 * @property {HTMLCanvasElement} canvas
 * @property {GridView} view
 * @property {Record<string, HTMLImageElement>} images the brick images
 * @property {() => import('./drawing.js').Drawing} drawing the open level's
 * @property {() => void} gridChanged
 * @property {() => void} redraw
 * @property {(text: string, isError?: boolean) => void} notice
 * @property {() => {title: string, text: string}[]} levels the set's titles and texts
 * @property {() => number} current the open level's index
 * @property {(title: string, grid: Grid) => void} addLevel a new level after the open one, opened
 * @property {(files: LevelFile[]) => Promise<void>} play the game on these level files
 */

/**
 * The level files to play from the level at index on: that level is
 * level1.txt, the next level2.txt, and so on, as the game numbers them.
 * @param {readonly {text: string}[]} levels
 * @param {number} index
 * @returns {LevelFile[]}
 */
export function filesFrom(levels, index) {
    return levels.slice(index).map((level, i) => ({ name: levelFileName(i), text: level.text }));
}

/**
 * @template {HTMLElement} T
 * @param {string} id
 * @returns {T}
 */
function byId(id) {
    const element = document.getElementById(id);
    if (!element) throw new Error(`the page has no #${id}`);
    return /** @type {T} */ (element);
}

/**
 * @param {DesignerHooks} hooks
 */
export function setUpDesignerTools(hooks) {
    setUpRegions(byId('regions'), hooks);

    /** @type {Promise<ShippedLevel[]>} the README's figures, for the gallery and the curve */
    const shipped = loadShippedLevels(new URL('shipped-levels.json', import.meta.url)).then((result) => {
        if (!result.ok) throw new Error(result.error);
        return result.value;
    });
    shipped.catch(() => {});

    // Difficulty: shown beside the grid once a change has settled.
    const line = byId('difficulty');
    /** @type {ShippedLevel[]} */
    let curve = [];
    shipped.then((levels) => { curve = levels; show(watch.current); }, () => {});
    /** @param {import('./difficulty.js').WatchState} state */
    function show(state) {
        line.dataset.state = state.state;
        if (state.state === 'done' && state.difficulty) {
            const d = state.difficulty;
            line.textContent = `Difficulty: ${describeDifficulty(d, curve)}.`;
            line.dataset.share = String(d.share);
            line.dataset.minutes = d.medianMinutes === null ? '' : String(d.medianMinutes);
            line.dataset.caged = String(d.caged);
            line.classList.toggle('caged', d.caged > 0);
            return;
        }
        line.classList.remove('caged');
        for (const key of ['share', 'minutes', 'caged']) delete line.dataset[key];
        line.textContent = state.state === 'waiting' ? 'Difficulty: measuring once the level holds still…'
            : state.state === 'measuring' ? `Difficulty: sweeping in the background, ${state.progress?.done ?? 0} of ${state.progress?.total || 60} serves…`
                : state.state === 'nothing' ? 'Difficulty: nothing to clear (no breakable brick).'
                    : state.state === 'failed' ? `Difficulty: the sweep failed (${state.error}).` : 'Difficulty: draw a level.';
    }
    const watch = new DifficultyWatch({
        sweep: (text, signal, onProgress) => hooks.pool.sweep(text, { quiet: true, signal,
            onProgress: ({ done, total }) => onProgress(done, total) }),
        onState: show,
    });

    // Play this level: the game starts at the open level.
    byId('play-level').addEventListener('click', () => {
        hooks.play(filesFrom(hooks.levels(), hooks.current())).catch((error) => hooks.notice(String(error), true));
    });

    setUpSharing(hooks);
    setUpGallery(hooks, shipped);

    return {
        /**
         * After each check of the open level's text.
         * @param {string} text
         * @param {CheckResult} result
         */
        checked(text, result) {
            watch.changed(text, result.counts.hits > 0);
        },
        /** @param {boolean} running the designer's own sweep started or ended */
        ownSweep(running) {
            watch.hold(running);
        },
        /**
         * @param {string} text
         * @param {SweepReport} report the designer's own sweep
         */
        swept(text, report) {
            watch.offer(text, report);
        },
        watch,
    };
}

/** @param {DesignerHooks} hooks */
function setUpSharing(hooks) {
    const what = /** @type {HTMLSelectElement} */ (byId('share-what'));
    const box = /** @type {HTMLInputElement} */ (byId('share-link'));
    const playBox = /** @type {HTMLInputElement} */ (byId('share-play-link'));
    byId('share-copy').addEventListener('click', async () => {
        const levels = hooks.levels();
        const chosen = what.value === 'set' ? levels : [levels[hooks.current()]];
        const encoded = await encodeShare(chosen);
        if (!encoded.ok) {
            hooks.notice(encoded.error, true);
            return;
        }
        // The link goes to the clipboard and the boxes, never into this page's
        // address, so a reload keeps showing the newest work.
        const link = new URL(`editor.html#${encoded.fragment}`, location.href).href;
        box.value = link;
        playBox.value = new URL(`index.html#${encoded.fragment}`, location.href).href;
        byId('share-links').hidden = false;
        let copied = true;
        try {
            await navigator.clipboard.writeText(link);
        } catch {
            copied = false;
        }
        const count = chosen.length === 1 ? 'the level' : `the ${chosen.length} levels`;
        hooks.notice(`${copied ? 'Copied a link' : 'Here is a link'} to ${count} (${link.length} characters)` +
            `${copied ? '' : '; copy it from the box below the grid'}.`);
    });
    for (const input of [box, playBox]) input.addEventListener('focus', () => input.select());
}

/**
 * The gallery of shipped levels: each drawn in the game's brick images,
 * with its name and figures; choosing one adds it as a new level.
 * @param {DesignerHooks} hooks
 * @param {Promise<ShippedLevel[]>} shipped
 */
function setUpGallery(hooks, shipped) {
    const dialog = /** @type {HTMLDialogElement} */ (byId('gallery'));
    const list = byId('gallery-list');
    let filled = false;
    byId('gallery-open').addEventListener('click', async () => {
        dialog.showModal();
        if (filled) return;
        filled = true;
        try {
            const levels = await shipped;
            list.replaceChildren();
            for (const level of levels) {
                // The game's own loader reads each level, as it reads the designer's.
                const check = await hooks.pool.check(level.text, { name: levelFileName(level.number - 1), quiet: true });
                if (!check) throw new Error('the check was cut short');
                list.append(card(level, Grid.fromCheckCells(check.cells)));
            }
        } catch (error) {
            filled = false;
            list.textContent = error instanceof Error ? error.message : String(error);
        }
    });
    byId('gallery-close').addEventListener('click', () => dialog.close());

    /**
     * @param {ShippedLevel} level
     * @param {Grid} grid
     */
    function card(level, grid) {
        const item = document.createElement('li');
        const button = document.createElement('button');
        button.type = 'button';
        button.dataset.level = String(level.number);
        const canvas = document.createElement('canvas');
        const view = new GridView(canvas, hooks.images);
        view.fit(320, 171);
        view.draw(grid);
        const name = document.createElement('strong');
        name.textContent = `${level.number} ${level.name}`;
        const figures = document.createElement('span');
        figures.textContent = `${level.bricks} bricks, ${level.hits} hits; clears from ${level.clears}%, ` +
            `${level.minutes.toFixed(1)} min to clear`;
        button.append(canvas, name, figures);
        button.addEventListener('click', () => {
            dialog.close();
            hooks.addLevel(level.name, grid);
            hooks.notice(`Added shipped level ${level.number}, ${level.name}, as a new level to change; the game's own file is untouched.`);
        });
        item.append(button);
        return item;
    }
}
