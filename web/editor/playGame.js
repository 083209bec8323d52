// @ts-check
// Play from the editor: the game's web edition in this page, with the set's
// levels in place of the packaged ones (the open set's first is level 1).
// Keys and touch buttons reach the game the way its own page sends them,
// through the web edition's key source and the touch wiring both share.
// The game loads on the first Play only; leaving it (A+B or Escape) ends
// its run and the editor comes back as it was.

/** @typedef {{name: string, text: string}} LevelFile */

import { wireTouchControls } from '../shared/touchControls.js';

// The game's web edition, in the site's game/ folder beside editor/.
const GAME = new URL('../game/', import.meta.url);

/** @type {Promise<[any, any, any]> | null} */
let game = null;
/** @type {AudioContext | null} made at the first Play, a click, as browsers want */
let audio = null;
/** @type {any} the title tune's player */
let music = null;

/**
 * Runs the game on the canvas until it ends; the box (with the canvas and
 * any touch buttons, see shared/touchControls.js) is shown meanwhile.
 * @param {HTMLElement} box
 * @param {HTMLCanvasElement} canvas
 * @param {LevelFile[]} levels
 * @param {(line: string) => void} onLog
 * @returns {Promise<{status: number, stderr: string, log: string}>}
 */
export async function playInPage(box, canvas, levels, onLog) {
    const loading = (game ??= /** @type {Promise<[any, any, any]>} */ (
        Promise.all(['runner.js', 'keys.js', 'music.js'].map((file) => import(new URL(file, GAME).href)))
    ).catch((error) => {
        game = null;
        throw new Error(
            `the game's web build is not in this site (${error instanceof Error ? error.message : error})`,
        );
    }));
    const [{ runGame }, { createKeySource, gameKeyOf }, { createLazyMusic, startAudio }] = await loading;
    audio = startAudio(audio);
    if (!music && audio) music = createLazyMusic(audio);
    const keys = createKeySource();
    /** @param {KeyboardEvent} event */
    const onKey = (event) => {
        const code = gameKeyOf(event);
        if (!code) return;
        event.preventDefault();
        if (event.type === 'keydown') keys.down(code);
        else keys.up(code);
    };
    const release = () => keys.release();
    const unwire = wireTouchControls(box, () => keys);
    document.addEventListener('keydown', onKey);
    document.addEventListener('keyup', onKey);
    window.addEventListener('blur', release);
    box.hidden = false;
    document.body.classList.add('playing');
    canvas.focus();
    try {
        return await runGame({ canvas, levels, onLog, keys, audioContext: audio, music });
    } finally {
        keys.release();
        music?.stop();
        document.removeEventListener('keydown', onKey);
        document.removeEventListener('keyup', onKey);
        window.removeEventListener('blur', release);
        unwire();
        box.hidden = true;
        document.body.classList.remove('playing');
    }
}
