// @ts-check
// The game's key input as the emulated SDL reads it: a source of key
// events that the page feeds from the keyboard, the touch buttons, drag
// steering and gamepads alike, so that all go through the same key state.
// The key codes here are the one list the game's page and the editor use.

/** DOM key codes of the keys the game reads. */
export const GameKeys = Object.freeze({
  Left: 37, Up: 38, Right: 39, Down: 40, Space: 32, Escape: 27, A: 65, B: 66, P: 80,
});
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

/** How long a key-up held back for an unseen key-down waits at most (see createKeySource). */
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
 * The game reads the key state once a frame, after the frame's events. A
 * key pressed and released before the game's next frame would reach it as
 * a down and an up in the same batch and never be seen held: a quick tap
 * lost. So a key-up waits until a frame has passed since its key-down
 * (frame(), which the runner calls at every flip). Where the game waits for
 * a key's release without flipping (a menu), the key-up goes out after
 * LatchFallbackMs at the latest, by then long seen.
 * @param {{ setTimer?: (run: () => void, ms: number) => unknown }} [options]
 *   the fallback's timer (tests give their own)
 */
export function createKeySource({ setTimer = (run, ms) => setTimeout(run, ms) } = {}) {
  /** @type {Map<string, Set<KeyListener>>} */
  const listeners = new Map();
  /** @type {Map<number, Set<string>>} key code -> its holders */
  const held = new Map();
  /** @type {Map<number, number>} key code -> the frame count at its key-down */
  const downAt = new Map();
  /** @type {Set<number>} key-ups waiting for a frame */
  const waiting = new Set();
  let frames = 0;
  /** @param {string} type @param {number} keyCode */
  const send = (type, keyCode) => {
    const event = { type, keyCode, location: 0, preventDefault() {} };
    for (const listener of listeners.get(type) ?? []) listener(event);
  };
  const flush = () => {
    for (const keyCode of [...waiting]) {
      waiting.delete(keyCode);
      send('keyup', keyCode);
    }
  };
  /** @param {number} keyCode */
  const letGo = (keyCode) => {
    held.delete(keyCode);
    if (downAt.get(keyCode) !== frames) {
      send('keyup', keyCode);
      return;
    }
    waiting.add(keyCode);
    setTimer(flush, LatchFallbackMs);
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
      const holders = held.get(keyCode);
      if (holders) {
        holders.add(holder);
        return;
      }
      held.set(keyCode, new Set([holder]));
      // Pressed again before its held-back key-up went out: it stays down.
      if (waiting.delete(keyCode)) return;
      downAt.set(keyCode, frames);
      send('keydown', keyCode);
    },
    /** @param {number} keyCode @param {string} [holder] */
    up(keyCode, holder = 'keyboard') {
      const holders = held.get(keyCode);
      if (!holders?.delete(holder) || holders.size > 0) return;
      letGo(keyCode);
    },
    /**
     * Presses the keys together and lets them go as soon as the game has
     * seen them: one frame (Back's A+B, a gamepad's Back).
     * @param {number[]} keyCodes @param {string} holder
     */
    tap(keyCodes, holder) {
      for (const keyCode of keyCodes) this.down(keyCode, holder);
      for (const keyCode of keyCodes) this.up(keyCode, holder);
    },
    /** The game has drawn a frame: key-ups held back for it go out. */
    frame() {
      frames++;
      flush();
    },
    /** @param {number} keyCode */
    isHeld(keyCode) {
      return held.has(keyCode) || waiting.has(keyCode);
    },
    /** @param {string} holder lets go of every key this holder holds */
    releaseAll(holder) {
      for (const [keyCode, holders] of [...held]) if (holders.has(holder)) this.up(keyCode, holder);
    },
    /** Every key up at once (the run ends, the page loses focus). */
    release() {
      for (const keyCode of [...held.keys()]) {
        held.delete(keyCode);
        waiting.add(keyCode);
      }
      flush();
    },
  };
}

/** @typedef {ReturnType<typeof createKeySource>} KeySource */
