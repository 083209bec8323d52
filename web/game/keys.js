// @ts-check
// The game's key input as the emulated SDL reads it: a source of key
// events that the page feeds from the keyboard, the touch buttons, drag
// steering and gamepads alike, so that all go through the same key state.
// The key codes here are the one list the game's page and the editor use.

/** DOM key codes of the keys the game reads. */
export const GameKeys = Object.freeze({
  Left: 37, Up: 38, Right: 39, Down: 40, Space: 32, Escape: 27, A: 65, B: 66, P: 80,
});
/** @type {Set<number>} */
const gameKeyCodes = new Set(Object.values(GameKeys));

/** Key codes by KeyboardEvent.code, for the keys whose keyCode browsers disagree on. */
const byCode = /** @type {Record<string, number>} */ ({
  ArrowLeft: GameKeys.Left, ArrowUp: GameKeys.Up, ArrowRight: GameKeys.Right, ArrowDown: GameKeys.Down,
  Space: GameKeys.Space, Escape: GameKeys.Escape, KeyA: GameKeys.A, KeyB: GameKeys.B, KeyP: GameKeys.P,
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

/** How long a key's change waits at most for the game to see the one before (see createKeySource). */
export const LatchFallbackMs = 100;

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
 * seen held: a quick tap lost. So each key's changes go to the game one at
 * a time, each only once the game has had the last one long enough to see
 * it: two frames (frame(), which the runner calls at every flip; a change
 * may reach the game in the middle of a frame, after that frame looked),
 * or LatchFallbackMs where the game waits for a release without flipping.
 * A and B go up after one frame: the game reads them together at a frame's
 * end, leaves the game and gives the player 100 ms to let go; seen in the
 * next frame too, they would also end the program on the title menu it has
 * just returned to. Two quick taps stay two presses.
 * @param {{ setTimer?: (run: () => void, ms: number) => unknown, now?: () => number }} [options]
 *   the fallback's timer and clock (tests give their own)
 */
export function createKeySource({ setTimer = (run, ms) => setTimeout(run, ms), now = () => performance.now() } = {}) {
  /** @type {Map<string, Set<KeyListener>>} */
  const listeners = new Map();
  /**
   * @typedef {object} KeyState
   * @property {Set<string>} holders who holds it now
   * @property {{ type: string, frames: number }[]} queue changes not yet sent, with the frames each must stay
   * @property {{ type: string, frame: number, time: number, frames: number } | null} last the change last sent
   * @property {boolean} timer whether a fallback timer is set
   */
  /** @type {Map<number, KeyState>} */
  const keys = new Map();
  let frames = 0;
  /** @param {number} keyCode */
  const stateOf = (keyCode) => {
    let state = keys.get(keyCode);
    if (!state) keys.set(keyCode, (state = { holders: new Set(), queue: [], last: null, timer: false }));
    return state;
  };
  /** @param {string} type @param {number} keyCode */
  const send = (type, keyCode) => {
    const event = { type, keyCode, location: 0, preventDefault() {} };
    for (const listener of listeners.get(type) ?? []) listener(event);
  };
  /** Sends what the game may see now. @param {number} keyCode */
  const pump = (keyCode) => {
    const state = stateOf(keyCode);
    while (state.queue.length > 0) {
      const { last } = state;
      if (last && frames - last.frame < last.frames && now() - last.time < LatchFallbackMs) {
        if (!state.timer) {
          state.timer = true;
          setTimer(() => {
            state.timer = false;
            pump(keyCode);
          }, LatchFallbackMs - (now() - last.time));
        }
        return;
      }
      const next = /** @type {{ type: string, frames: number }} */ (state.queue.shift());
      state.last = { ...next, frame: frames, time: now() };
      send(next.type, keyCode);
    }
  };
  /** The last change sent or queued. @param {KeyState} state */
  const latest = (state) => (state.queue.length ? state.queue[state.queue.length - 1].type : state.last?.type ?? 'keyup');
  /** @param {number} keyCode */
  const framesFor = (keyCode) => (keyCode === GameKeys.A || keyCode === GameKeys.B ? 1 : 2);
  /** @param {number} keyCode @param {string} type */
  const change = (keyCode, type) => {
    const frameCount = framesFor(keyCode);
    const state = stateOf(keyCode);
    if (latest(state) === type) return;
    state.queue.push({ type, frames: frameCount });
    pump(keyCode);
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
      const state = stateOf(keyCode);
      state.holders.add(holder);
      change(keyCode, 'keydown');
    },
    /** @param {number} keyCode @param {string} [holder] */
    up(keyCode, holder = 'keyboard') {
      const state = stateOf(keyCode);
      if (!state.holders.delete(holder) || state.holders.size > 0) return;
      change(keyCode, 'keyup');
    },
    /**
     * Presses the keys together and lets them go as soon as the game has
     * seen them (Back's A+B, a tap on the screen). Keys other holders hold
     * stay down.
     * @param {number[]} keyCodes
     */
    tap(keyCodes) {
      for (const keyCode of keyCodes) {
        const state = stateOf(keyCode);
        if (state.holders.size > 0) continue;
        change(keyCode, 'keydown');
      }
      for (const keyCode of keyCodes) if (stateOf(keyCode).holders.size === 0) change(keyCode, 'keyup');
    },
    /** The game has drawn a frame: changes held back for it may go out. */
    frame() {
      frames++;
      for (const keyCode of [...keys.keys()]) pump(keyCode);
    },
    /** @param {number} keyCode held, or its key-up not sent yet */
    isHeld(keyCode) {
      const state = keys.get(keyCode);
      return !!state && (state.holders.size > 0 || state.last?.type === 'keydown' || state.queue.length > 0);
    },
    /** Every key up at once (the run ends, the page loses focus). */
    release() {
      for (const [keyCode, state] of keys) {
        state.holders.clear();
        state.queue = [];
        if (state.last?.type === 'keydown') send('keyup', keyCode);
      }
      keys.clear();
    },
  };
}

/** @typedef {ReturnType<typeof createKeySource>} KeySource */
