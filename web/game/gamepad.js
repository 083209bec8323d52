// @ts-check
// Gamepads in the standard mapping, through the same key state as the
// keyboard: the d-pad and the left stick are the arrows, the bottom face
// button is select, Start is pause, and the right face button is Back (A+B,
// pressed for one frame, as the page's Back button does). Pads are read
// once an animation frame, and only while one is connected: reading them
// keeps the browser polling its devices sixty times a second (about 1.5% of
// a core measured on a desktop Chromium), which a player without a pad
// should not pay. The browser announces a pad, connected before the page
// or mid-game, at its first press.
import { GameKeys } from './keys.js';

/** A stick pushed this far along an axis holds that arrow. */
export const StickThreshold = 0.5;

/** Standard-mapping button indices and the keys they hold. */
const Held = /** @type {[number, number][]} */ ([
    [12, GameKeys.Up],
    [13, GameKeys.Down],
    [14, GameKeys.Left],
    [15, GameKeys.Right],
    [0, GameKeys.Space],
    [9, GameKeys.P],
]);
const BackButton = 1;

/**
 * @typedef {{ buttons: readonly { pressed: boolean }[], axes: readonly number[] }} PadState
 */

/**
 * What the pads hold now: the key codes, and whether Back is down.
 * @param {readonly (PadState | null)[]} pads as navigator.getGamepads() answers
 */
export function padKeys(pads) {
    /** @type {Set<number>} */
    const keys = new Set();
    let back = false;
    for (const pad of pads) {
        if (!pad) continue;
        for (const [index, code] of Held) if (pad.buttons[index]?.pressed) keys.add(code);
        const [x = 0, y = 0] = pad.axes;
        if (x <= -StickThreshold) keys.add(GameKeys.Left);
        if (x >= StickThreshold) keys.add(GameKeys.Right);
        if (y <= -StickThreshold) keys.add(GameKeys.Up);
        if (y >= StickThreshold) keys.add(GameKeys.Down);
        if (pad.buttons[BackButton]?.pressed) back = true;
    }
    return { keys, back };
}

/**
 * Reads the pads once an animation frame while one is connected and the
 * page runs a game; answers a function that stops it.
 * @param {() => import('./keys.js').KeySource | null} keys
 * @param {Window} [events] where the browser announces pads
 */
export function watchGamepads(keys, events = window) {
    const holder = 'pad';
    /** @type {Set<number>} */
    let held = new Set();
    let backWasDown = false;
    let frame = 0;
    /** @type {import('./keys.js').KeySource | null} */
    let last = null;
    const letGo = () => {
        const source = keys();
        for (const code of held) source?.up(code, holder);
        held = new Set();
        backWasDown = false;
    };
    const read = () => {
        frame = 0;
        const pads = navigator.getGamepads ? navigator.getGamepads() : [];
        if (!pads.some(Boolean)) {
            // The last pad went: nothing more to read until the next comes.
            letGo();
            return;
        }
        frame = requestAnimationFrame(read);
        const source = keys();
        if (source !== last) {
            // A new run: its key source holds nothing yet.
            last = source;
            held = new Set();
        }
        if (!source) return;
        const now = padKeys(pads);
        for (const code of held) if (!now.keys.has(code)) source.up(code, holder);
        for (const code of now.keys) if (!held.has(code)) source.down(code, holder);
        held = now.keys;
        if (now.back && !backWasDown) source.tap([GameKeys.A, GameKeys.B]);
        backWasDown = now.back;
    };
    const connected = () => {
        if (!frame) frame = requestAnimationFrame(read);
    };
    events.addEventListener('gamepadconnected', connected);
    return () => {
        events.removeEventListener('gamepadconnected', connected);
        cancelAnimationFrame(frame);
        frame = 0;
        letGo();
    };
}
