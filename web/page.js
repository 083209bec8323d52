// @ts-check
// The page around the game: the start overlay (browsers let sound start
// only after a gesture), fullscreen, keys, touch buttons, drag steering and
// gamepads into the game, the log, and the notice when the program ends
// with "Play again". Every rule of the game stays in the program. The
// layout is fit.js's, which the built page runs inline before this.
import { watchGamepads } from './game/gamepad.js';
import { createKeySource, gameKeyOf } from './game/keys.js';
import { createLazyMusic, startAudio } from './game/music.js';
import { failureLine, preload, runGame } from './game/runner.js';
import { createAppPanel } from './game/appPanel.js';
import { wireSteering } from './game/steer.js';
import { keepSiteOffline } from './shared/offline.js';
import { cancelTouchStarts, wireTouchControls } from './shared/touchControls.js';

const $ = (/** @type {string} */ id) => /** @type {HTMLElement} */ (document.getElementById(id));
const stage = $('stage');
const canvas = /** @type {HTMLCanvasElement} */ ($('screen'));
const logView = $('log');
/** A touch screen, as the layout found it (fit.js marks the body). */
const touch = document.body.classList.contains('touch');

// Fullscreen shows the whole play area, the controls with the screen, and
// its button says how to leave it.
const fullscreen = $('fullscreen');
fullscreen.addEventListener('click', () => {
    if (document.fullscreenElement) document.exitFullscreen();
    else
        $('play')
            .requestFullscreen?.()
            .catch(() => {});
});
document.addEventListener('fullscreenchange', () => {
    fullscreen.textContent = document.fullscreenElement ? 'Exit fullscreen' : 'Fullscreen';
});

const app = createAppPanel({
    muteButton: /** @type {HTMLButtonElement | null} */ (document.getElementById('mute')),
    storage: (() => {
        try {
            return window.localStorage;
        } catch {
            return null;
        }
    })(),
});
/** What tests and benchmarks read of the run on the page. */
const pageHooks =
    /** @type {{ quadrellLevels?: import('./game/runner.js').LevelFile[], quadrellOnFrame?: () => void, quadrellRun?: import('./game/runner.js').RunHandle | null, quadrellSiteUpdate?: ReturnType<typeof keepSiteOffline> }} */ (
        window
    );

/** @type {import('./game/keys.js').KeySource | null} */
let keys = null;
/** @type {(() => number) | null} the running game's paddle (see web_main.cpp) */
let paddle = null;
const steering = wireSteering({
    canvas,
    strip: $('strip'),
    keys: () => keys,
    paddle: () => paddle?.() ?? -1,
});
/** @type {(() => string) | null} */
let readLog = null;
let lastLog = '';
/** @type {AudioContext | null} */
let audio = null;
/** @type {ReturnType<typeof createLazyMusic> | null} */
let music = null;

function showLog() {
    logView.textContent = (readLog ? readLog() : lastLog) || '(the log is empty)';
}
$('show-log').addEventListener('click', () => {
    logView.hidden = !logView.hidden;
    $('show-log').setAttribute('aria-expanded', String(!logView.hidden));
    if (!logView.hidden) showLog();
});

/** @param {string | null} shown the cover shown, or null for none */
function cover(shown) {
    for (const id of ['start', 'loading', 'ended', 'failed']) $(id).hidden = id !== shown;
}

async function play() {
    cover('loading');
    audio = startAudio(audio);
    app.audio(audio);
    // The tune's player loads once the game asks for the tune, beside the
    // game: never ahead of its first frame.
    if (!music && audio)
        music = createLazyMusic(audio, { onState: (state) => (stage.dataset.music = state) });
    const runKeys = (keys = createKeySource());
    /** @type {import('./game/runner.js').RunResult} */
    let result;
    try {
        result = await runGame({
            canvas,
            // A page that embeds this one (or a test) may set its own levels.
            levels: pageHooks.quadrellLevels,
            onFrame: () => {
                app.frame();
                // The game is between frames once this task is over: steering
                // reads the paddle then.
                queueMicrotask(steering.frame);
                // A benchmark counts the frames shown.
                pageHooks.quadrellOnFrame?.();
            },
            keys: runKeys,
            audioContext: audio,
            music,
            onStarted: (handle) => {
                readLog = handle.readLog;
                paddle = handle.paddle;
                app.started(handle, runKeys);
                pageHooks.quadrellRun = handle;
                cover(null);
                canvas.focus();
            },
        });
    } catch (error) {
        // The downloads failed: "Try again" fetches them again.
        result = {
            status: 1,
            stderr: `Quadrell could not be loaded: ${/** @type {Error} */ (error).message}\n`,
            log: '',
        };
    }
    app.ended();
    pageHooks.quadrellRun = null;
    runKeys.release();
    keys = null;
    readLog = null;
    paddle = null;
    lastLog = result.log;
    music?.stop();
    if (!logView.hidden) showLog();
    if (result.status === 0) {
        cover('ended');
        $('again').focus();
    } else {
        $('failure').textContent = failureLine(result);
        $('failure-log').textContent = result.log || '(no log was written)';
        cover('failed');
    }
}

/** @param {Event} event */
function start(event) {
    event.preventDefault();
    if (!$('start').hidden) play();
}
$('start').addEventListener('click', start);
$('again').addEventListener('click', () => play());
$('retry').addEventListener('click', () => play());

document.addEventListener('keydown', (event) => {
    if (!$('start').hidden) {
        if (!event.ctrlKey && !event.altKey && !event.metaKey) start(event);
        return;
    }
    const code = gameKeyOf(event);
    if (!keys || !code) return;
    // The game's keys are the game's: no scrolling, no page shortcuts.
    event.preventDefault();
    keys.down(code);
});
document.addEventListener('keyup', (event) => {
    const code = gameKeyOf(event);
    if (!keys || !code) return;
    event.preventDefault();
    keys.up(code);
});
// A key held while the page loses focus would stay down in the game.
window.addEventListener('blur', () => keys?.release());

// Touch buttons; the first press on one also starts the game.
wireTouchControls($('touch'), () => keys, {
    onPress: () => {
        if (!$('start').hidden) play();
    },
});
watchGamepads(() => keys);
if (touch) cancelTouchStarts(document.body);

// The downloads start at once; the game waits for the player's gesture.
// The site is kept for offline play once the game's own downloads are in.
preload().then(
    () => {
        pageHooks.quadrellSiteUpdate = keepSiteOffline(
            new URL('./', import.meta.url),
            () => !$('start').hidden,
        );
    },
    (error) => {
        $('failure').textContent = `Quadrell could not be loaded: ${error.message}`;
        cover('failed');
    },
);
