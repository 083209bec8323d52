// @ts-check
// The game's key input as the emulated SDL reads it: a source of key
// events that the page feeds from the keyboard, the touch buttons, drag
// steering and gamepads alike, so that all go through the same key state.
// The key codes here are the one list the game's page and the editor use.

/** DOM key codes of the keys the game reads. */
export const GameKeys = Object.freeze({
    Left: 37,
    Up: 38,
    Right: 39,
    Down: 40,
    Space: 32,
    Escape: 27,
    A: 65,
    B: 66,
    P: 80,
});
/** @type {Set<number>} */
const gameKeyCodes = new Set(Object.values(GameKeys));

/** Key codes by KeyboardEvent.code, for the keys whose keyCode browsers disagree on. */
const byCode = /** @type {Record<string, number>} */ ({
    ArrowLeft: GameKeys.Left,
    ArrowUp: GameKeys.Up,
    ArrowRight: GameKeys.Right,
    ArrowDown: GameKeys.Down,
    Space: GameKeys.Space,
    Escape: GameKeys.Escape,
    KeyA: GameKeys.A,
    KeyB: GameKeys.B,
    KeyP: GameKeys.P,
});

/**
 * The key code of a keyboard event, or 0 for a key the game has no use for.
 * Keys with Control, Alt or Meta stay the browser's (reload, tabs, ...).
 * @param {{ code?: string, keyCode?: number, ctrlKey?: boolean, altKey?: boolean, metaKey?: boolean }} event
 */
export function gameKeyOf(event) {
    if (event.ctrlKey || event.altKey || event.metaKey) return 0;
    const code = (event.code && byCode[event.code]) || event.keyCode || 0;
    return gameKeyCodes.has(code) ? code : 0;
}

/**
 * The key code of a name of GameKeys ("Left") or of a number ("37"), or 0.
 * Buttons on the page name their keys either way.
 * @param {string} token
 */
export function keyCodeOf(token) {
    const named = /** @type {Record<string, number>} */ (GameKeys)[token];
    const code = named ?? Number(token);
    return gameKeyCodes.has(code) ? code : 0;
}

/**
 * How long a key's change waits at most for the game to see the one before,
 * where neither frames nor sleeps are reported (see createKeySource).
 */
export const LatchFallbackMs = 500;

/**
 * @typedef {{ type: string, keyCode: number, location: number, preventDefault(): void }} KeyEvent
 * @typedef {(event: KeyEvent) => void} KeyListener
 */

/**
 * A key event source in the shape the emulation listens to
 * (Module.keyboardListeningElement). Keys held when the run ends are let
 * go by release().
 *
 * Several inputs (the keyboard, touch buttons, drag steering, gamepads)
 * may hold one key at once: each names itself as the key's holder, and the
 * game sees the key go up when its last holder lets go.
 *
 * The game reads the key state once a frame, after the frame's events, and
 * a menu waits for a key's release. A key pressed and released before the
 * game looked would reach it as a down and an up in one batch and never be
 * seen held: a quick tap lost. So the changes go to the game one at a time,
 * each only once the game has had the one before long enough to see it:
 * two frames (frame(), which the runner calls at every flip), or two of the
 * game's sleeps (sleep(), at every SDL_Delay: between two sleeps the game
 * reads its events, also where a menu waits for a release without
 * flipping). One at a time, since a change may reach the game while a menu
 * waits for another key, after that frame looked for it. A and B go up after
 * one frame: the game reads them together at a frame's end, leaves the game
 * and gives the player 100 ms to let go; seen in the next frame too, they
 * would also end the program on the title menu it has just returned to.
 * Counting frames and sleeps, not time, keeps quick taps whole on a machine
 * so loaded that frames come late; LatchFallbackMs is only a safety net for
 * a game that reports neither. Two quick taps stay two presses.
 * @param {{ setTimer?: (run: () => void, ms: number) => unknown, now?: () => number }} [options]
 *   the fallback's timer and clock (tests give their own)
 */
export function createKeySource({
    setTimer = (run, ms) => setTimeout(run, ms),
    now = () => performance.now(),
} = {}) {
    /** @type {Map<string, Set<KeyListener>>} */
    const listeners = new Map();
    /** @type {Map<number, Set<string>>} key code -> who holds it now */
    const holders = new Map();
    /** @type {Map<number, string>} key code -> its last change sent or queued */
    const latest = new Map();
    /** @type {Map<number, string>} key code -> its last change sent: what the game has */
    const sent = new Map();
    /** @type {{ keyCode: number, type: string }[]} changes not yet sent, in order */
    const queue = [];
    /** @type {{ frames: number, frame: number, sleep: number, time: number } | null} the change last sent */
    let last = null;
    let frames = 0;
    let sleeps = 0;
    let timer = false;
    /** @param {number} keyCode */
    const holdersOf = (keyCode) => {
        let set = holders.get(keyCode);
        if (!set) holders.set(keyCode, (set = new Set()));
        return set;
    };
    /** @param {string} type @param {number} keyCode */
    const send = (type, keyCode) => {
        const event = { type, keyCode, location: 0, preventDefault() {} };
        for (const listener of listeners.get(type) ?? []) listener(event);
    };
    /** Sends what the game may see now: each change once it has seen the one before. */
    const pump = () => {
        while (queue.length > 0) {
            const seen = !last || frames - last.frame >= last.frames || sleeps - last.sleep >= 2;
            if (!seen && last && now() - last.time < LatchFallbackMs) {
                if (!timer) {
                    timer = true;
                    setTimer(
                        () => {
                            timer = false;
                            pump();
                        },
                        LatchFallbackMs - (now() - last.time),
                    );
                }
                return;
            }
            const next = /** @type {{ keyCode: number, type: string }} */ (queue.shift());
            const { A, B } = GameKeys;
            last = {
                frames: next.keyCode === A || next.keyCode === B ? 1 : 2,
                frame: frames,
                sleep: sleeps,
                time: now(),
            };
            sent.set(next.keyCode, next.type);
            send(next.type, next.keyCode);
        }
    };
    /** @param {number} keyCode @param {string} type */
    const change = (keyCode, type) => {
        if ((latest.get(keyCode) ?? 'keyup') === type) return;
        latest.set(keyCode, type);
        queue.push({ keyCode, type });
        pump();
    };
    return {
        /** @param {string} type @param {KeyListener} listener */
        addEventListener(type, listener) {
            if (!listeners.has(type)) listeners.set(type, new Set());
            listeners.get(type)?.add(listener);
        },
        /** @param {string} type @param {KeyListener} listener */
        removeEventListener(type, listener) {
            listeners.get(type)?.delete(listener);
        },
        /** @param {number} keyCode @param {string} [holder] who holds it */
        down(keyCode, holder = 'keyboard') {
            holdersOf(keyCode).add(holder);
            change(keyCode, 'keydown');
        },
        /** @param {number} keyCode @param {string} [holder] */
        up(keyCode, holder = 'keyboard') {
            const set = holdersOf(keyCode);
            if (!set.delete(holder) || set.size > 0) return;
            change(keyCode, 'keyup');
        },
        /**
         * Presses the keys together and lets them go as soon as the game has
         * seen them (Back's A+B, a tap on the screen). Keys other holders hold
         * stay down.
         * @param {number[]} keyCodes
         */
        tap(keyCodes) {
            const free = keyCodes.filter((keyCode) => holdersOf(keyCode).size === 0);
            for (const keyCode of free) change(keyCode, 'keydown');
            for (const keyCode of free) change(keyCode, 'keyup');
        },
        /** The game has drawn a frame. */
        frame() {
            frames++;
            pump();
        },
        /** The game sleeps: it has read its events since its last sleep. */
        sleep() {
            sleeps++;
            pump();
        },
        /** @param {number} keyCode held, or its key-up not sent yet */
        isHeld(keyCode) {
            return (holders.get(keyCode)?.size ?? 0) > 0 || sent.get(keyCode) === 'keydown';
        },
        /** Every key up at once (the run ends, the page loses focus). */
        release() {
            queue.length = 0;
            holders.clear();
            latest.clear();
            for (const [keyCode, type] of [...sent]) if (type === 'keydown') send('keyup', keyCode);
            sent.clear();
        },
    };
}

/** @typedef {ReturnType<typeof createKeySource>} KeySource */
