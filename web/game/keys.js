// @ts-check
// The game's key input as the emulated SDL reads it: a source of key
// events that the page feeds from the keyboard and from the touch
// buttons alike, so that both go through the same key state.

/** DOM key codes of the keys the game reads. */
export const GameKeys = Object.freeze({
  Left: 37, Up: 38, Right: 39, Down: 40, Space: 32, Escape: 27, A: 65, B: 66, P: 80,
});
const gameKeyCodes = new Set(Object.values(GameKeys));

/** Key codes by KeyboardEvent.code, for the keys whose keyCode browsers disagree on. */
const byCode = /** @type {Record<string, number>} */ ({
  ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39, ArrowDown: 40, Space: 32, Escape: 27, KeyA: 65, KeyB: 66, KeyP: 80,
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
 * @typedef {{ type: string, keyCode: number, location: number, preventDefault(): void }} KeyEvent
 * @typedef {(event: KeyEvent) => void} KeyListener
 */

/**
 * A key event source in the shape the emulation listens to
 * (Module.keyboardListeningElement). Keys held when the run ends are let
 * go by release().
 */
export function createKeySource() {
  /** @type {Map<string, Set<KeyListener>>} */
  const listeners = new Map();
  /** @type {Set<number>} */
  const held = new Set();
  /** @param {string} type @param {number} keyCode */
  const send = (type, keyCode) => {
    const event = { type, keyCode, location: 0, preventDefault() {} };
    for (const listener of listeners.get(type) ?? []) listener(event);
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
    /** @param {number} keyCode */
    down(keyCode) {
      if (held.has(keyCode)) return;
      held.add(keyCode);
      send('keydown', keyCode);
    },
    /** @param {number} keyCode */
    up(keyCode) {
      if (!held.delete(keyCode)) return;
      send('keyup', keyCode);
    },
    /** @param {number} keyCode */
    isHeld(keyCode) {
      return held.has(keyCode);
    },
    release() {
      for (const keyCode of [...held]) this.up(keyCode);
    },
  };
}
