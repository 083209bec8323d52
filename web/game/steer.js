// @ts-check
// Drag to steer: a finger on the game's screen or on the strip under it
// (or, in a desktop browser, the mouse moved over the screen) steers the
// paddle while a ball is in play. The page only holds the game's own Left
// or Right key until the paddle's middle is under the pointer, once a
// frame; the game moves the paddle at its own pace, by its own rules. Out
// of play the pointer presses neither (Left and Right change volumes on the
// options screen); a tap on the screen is the select key.
import { GameKeys } from './keys.js';

/** The game's screen width in its own pixels. */
const ScreenWidth = 320;
/** A paddle's middle this close to the pointer is under it. */
export const SteerSlack = 2;
/** Taps: at most this long and this far (CSS px) from where they landed. */
const TapMs = 300;
const TapSlack = 12;

/**
 * The key to hold this frame: Left, Right or none.
 * @param {number} middle the paddle's middle in screen pixels, or < 0 when no ball is in play
 * @param {number | null} target the pointer's x in screen pixels, or null for no pointer
 * @returns {number} a key code, or 0
 */
export function steerKey(middle, target) {
    if (middle < 0 || target === null) return 0;
    if (target > middle + SteerSlack) return GameKeys.Right;
    if (target < middle - SteerSlack) return GameKeys.Left;
    return 0;
}

/**
 * A client x over the screen as an x in screen pixels (clamped to it).
 * @param {number} clientX @param {{ left: number, width: number }} screen the canvas's box
 */
export function screenXOf(clientX, screen) {
    if (!(screen.width > 0)) return 0;
    return Math.min(ScreenWidth, Math.max(0, ((clientX - screen.left) / screen.width) * ScreenWidth));
}

/**
 * Wires steering to the canvas and the strip; answers { frame, dispose }:
 * frame() once per game frame holds or lets go the key.
 * @param {{ canvas: HTMLElement, strip: HTMLElement | null,
 *   keys: () => import('./keys.js').KeySource | null, paddle: () => number }} parts
 *   paddle: the paddle's middle, or -1 when no ball is in play
 */
export function wireSteering({ canvas, strip, keys, paddle }) {
    const holder = 'steer';
    /** @type {number | null} the pointer's x in screen pixels */
    let target = null;
    /** Whether the target stays after the paddle reached it (a finger) or not (a hovering mouse). */
    let sticky = false;
    let heldKey = 0;
    /** @type {Map<number, { x: number, y: number, at: number }>} touches and clicks that may be taps */
    const landed = new Map();

    /** @type {import('./keys.js').KeySource | null} */
    let heldIn = null;
    /** @param {number} code */
    const holdOnly = (code) => {
        const source = keys();
        // A new run's key source holds nothing yet.
        if (source !== heldIn) {
            heldIn = source;
            heldKey = 0;
        }
        if (code === heldKey || !source) return;
        if (heldKey) source.up(heldKey, holder);
        heldKey = code;
        if (code) source.down(code, holder);
    };
    /** @param {PointerEvent} event */
    const aim = (event) => {
        target = screenXOf(event.clientX, canvas.getBoundingClientRect());
    };
    /** @param {PointerEvent} event */
    const onDown = (event) => {
        event.preventDefault();
        aim(event);
        sticky = true;
        if (event.currentTarget === canvas)
            landed.set(event.pointerId, { x: event.clientX, y: event.clientY, at: event.timeStamp });
        /** @type {HTMLElement} */ (event.currentTarget).setPointerCapture?.(event.pointerId);
    };
    /** @param {PointerEvent} event */
    const onMove = (event) => {
        const down = event.buttons !== 0 || event.pointerType === 'touch';
        // A mouse only steers over the screen itself, held or not.
        if (!down && (event.pointerType !== 'mouse' || event.currentTarget !== canvas)) return;
        aim(event);
        if (!down) sticky = false;
        const start = landed.get(event.pointerId);
        if (start && Math.hypot(event.clientX - start.x, event.clientY - start.y) > TapSlack)
            landed.delete(event.pointerId);
    };
    /** @param {PointerEvent} event */
    const onUp = (event) => {
        const start = landed.get(event.pointerId);
        landed.delete(event.pointerId);
        if (event.type === 'pointerup' && start && event.timeStamp - start.at <= TapMs) {
            keys()?.tap([GameKeys.Space]);
        }
        if (event.pointerType !== 'mouse') target = null;
        sticky = false;
        if (target === null) holdOnly(0);
    };
    /** @param {TouchEvent} event */
    const noGesture = (event) => event.preventDefault();

    const parts = strip ? [canvas, strip] : [canvas];
    /** @type {[string, (event: any) => void, AddEventListenerOptions?][]} */
    const listeners = [
        ['pointerdown', onDown],
        ['pointermove', onMove],
        ['pointerup', onUp],
        ['pointercancel', onUp],
        ['touchstart', noGesture, { passive: false }],
    ];
    for (const part of parts)
        for (const [type, listener, options] of listeners) part.addEventListener(type, listener, options);
    const onLeave = (/** @type {PointerEvent} */ event) => {
        if (event.pointerType === 'mouse' && event.buttons === 0) target = null;
    };
    canvas.addEventListener('pointerleave', onLeave);

    return {
        frame() {
            const middle = target === null ? -1 : paddle();
            const code = steerKey(middle, target);
            holdOnly(code);
            // A mouse at rest leaves the keys to the keyboard once the paddle is under it.
            if (!code && !sticky && middle >= 0) target = null;
        },
        dispose() {
            holdOnly(0);
            for (const part of parts)
                for (const [type, listener, options] of listeners)
                    part.removeEventListener(type, listener, options);
            canvas.removeEventListener('pointerleave', onLeave);
        },
    };
}
