// @ts-check
// Play from the editor: the game's web edition in this page, with the set's
// levels in place of the packaged ones, level 1 the open set's first. The
// game is loaded on the first Play only; leaving it (A+B or Escape) ends
// its run and the editor comes back as it was.

/** @typedef {{name: string, text: string}} LevelFile */

// The game's web edition, in the site's game/ folder beside editor/.
const GAME_MODULE = new URL('../game/runner.js', import.meta.url);

/** @type {Promise<any> | null} */
let game = null;
/** @type {AudioContext | null} made at the first Play, a click, as browsers want */
let audio = null;

/**
 * Runs the game on the canvas until it ends; the box is shown meanwhile.
 * @param {HTMLElement} box
 * @param {HTMLCanvasElement} canvas
 * @param {LevelFile[]} levels
 * @param {(line: string) => void} onLog
 * @returns {Promise<{status: number, stderr: string, log: string}>}
 */
export async function playInPage(box, canvas, levels, onLog) {
    game ??= import(GAME_MODULE.href).catch((error) => {
        game = null;
        throw new Error(`the game's web build is not in this site (${error instanceof Error ? error.message : error})`);
    });
    const { runGame } = await game;
    box.hidden = false;
    document.body.classList.add('playing');
    canvas.focus();
    try {
        audio ??= typeof AudioContext === 'function' ? new AudioContext() : null;
        await audio?.resume().catch(() => {});
        return await runGame({ canvas, levels, onLog, audioContext: audio });
    } finally {
        box.hidden = true;
        document.body.classList.remove('playing');
    }
}
