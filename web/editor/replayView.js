// @ts-check
// A sweep mark's serve, played in the page: levelcheck plays that run again
// in a worker (the game's scene and computer player, as the sweep played
// it) and records it; this draws the recording on a canvas as the game
// draws its screen, the bricks, paddle and ball in the game's images.

import { GRID_TOP, SCREEN_HEIGHT, SCREEN_WIDTH } from '../shared/geometry.js';
import { loadBrickImages } from './gridView.js';
import { TracePlayback } from './tracePlayback.js';

const FRAMES_PER_SECOND = 62.5;
const KIND_IMAGES = ['', '1', '2', '3', 'solid'];

/** @param {string} src */
function loadImage(src) {
    return new Promise((resolve, reject) => {
        const image = new Image();
        image.onload = () => resolve(image);
        image.onerror = () => reject(new Error(`${src} did not load`));
        image.src = src;
    });
}

/** @type {Promise<{bricks: Record<string, HTMLImageElement>, ball: HTMLImageElement, paddle: HTMLImageElement}> | null} */
let images = null;
/** @type {number} the running film's animation frame */
let running = 0;
let generation = 0;

/**
 * Shows the serve at the angle's place index of a sweep of text in box.
 * @param {HTMLElement} box holds a canvas, a p for the caption, a select for the speed and
 *     [data-role] pause and step buttons and a frame slider
 * @param {import('../levelcheck/levelcheck-pool.js').LevelCheckPool} pool
 * @param {string} text
 * @param {string} name
 * @param {number} index
 */
export async function startReplay(box, pool, text, name, index) {
    const mine = ++generation;
    cancelAnimationFrame(running);
    const canvas = /** @type {HTMLCanvasElement} */ (box.querySelector('canvas'));
    const caption = /** @type {HTMLElement} */ (box.querySelector('p'));
    const speed = /** @type {HTMLSelectElement} */ (box.querySelector('select'));
    const pause = /** @type {HTMLButtonElement} */ (box.querySelector('[data-role="pause"]'));
    const stepButton = /** @type {HTMLButtonElement} */ (box.querySelector('[data-role="step"]'));
    const slider = /** @type {HTMLInputElement} */ (box.querySelector('[data-role="frame"]'));
    box.hidden = false;
    caption.textContent = 'levelcheck is playing the serve again…';
    const folder = new URL('images/', import.meta.url);
    images ??= Promise.all([
        loadBrickImages(folder),
        loadImage(new URL('ball.png', folder).href),
        loadImage(new URL('paddle.png', folder).href),
    ]).then(([bricks, ball, paddle]) => ({ bricks, ball, paddle }));
    const [art, trace] = await Promise.all([images, pool.trace(text, index, { name })]);
    if (mine !== generation) return;
    const film = new TracePlayback(trace);
    const run = trace.run;
    const ending =
        run.outcome === 'cleared'
            ? `clears the level in ${run.frames} frames`
            : run.outcome === 'loops'
              ? `loops from frame ${run.loop_start}`
              : run.outcome === 'caged'
                ? `cages the ball from frame ${run.loop_start}`
                : `ends: ${run.outcome}`;
    const context = /** @type {CanvasRenderingContext2D} */ (canvas.getContext('2d'));
    canvas.width = SCREEN_WIDTH;
    canvas.height = SCREEN_HEIGHT;
    let shown = 0;
    let last = performance.now();
    let playing = true;
    slider.max = String(film.length);
    const show = () => {
        const scene = film.at(Math.max(1, Math.floor(shown)));
        draw(context, film, scene, art);
        caption.textContent =
            `Serve at ${trace.angle} degrees, the computer player: ${ending}. ` +
            `Frame ${scene.frame} of ${film.length}, balls ${scene.lives}, points ${scene.points}.`;
        box.dataset.frame = String(scene.frame);
        slider.value = String(scene.frame);
        pause.textContent = playing ? 'Pause' : 'Play';
    };
    const step = () => {
        if (mine !== generation || box.hidden || !playing) return;
        const now = performance.now();
        shown = Math.min(
            film.length,
            shown + ((now - last) / 1000) * FRAMES_PER_SECOND * Number(speed.value || 1),
        );
        last = now;
        if (shown >= film.length) playing = false;
        show();
        if (playing) running = requestAnimationFrame(step);
    };
    /** @param {boolean} on */
    const play = (on) => {
        cancelAnimationFrame(running);
        playing = on;
        if (on && shown >= film.length) shown = 0;
        last = performance.now();
        show();
        if (on) running = requestAnimationFrame(step);
    };
    pause.onclick = () => play(!playing);
    stepButton.onclick = () => {
        shown = Math.min(film.length, Math.floor(shown) + 1);
        play(false);
    };
    slider.oninput = () => {
        shown = Number(slider.value);
        play(false);
    };
    play(true);
}

/**
 * @param {CanvasRenderingContext2D} context
 * @param {TracePlayback} film
 * @param {import('./tracePlayback.js').Frame} scene
 * @param {{bricks: Record<string, HTMLImageElement>, ball: HTMLImageElement, paddle: HTMLImageElement}} art
 */
function draw(context, film, scene, art) {
    context.fillStyle = '#000';
    context.fillRect(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    scene.kinds.forEach((kind, n) => {
        if (kind < 1 || kind > 4) return;
        const place = film.places[n];
        context.drawImage(art.bricks[KIND_IMAGES[kind]], place.x, place.y + GRID_TOP);
    });
    context.drawImage(art.paddle, scene.paddleX, film.trace.paddleY);
    context.drawImage(art.ball, scene.ballX, scene.ballY);
}

/** Stops the film. */
export function stopReplay() {
    ++generation;
    cancelAnimationFrame(running);
}
