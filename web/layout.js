// @ts-check
// Where the page puts the game: the largest whole scale of the 320x240
// screen that fits, and the room the touch buttons take.

import { SCREEN_HEIGHT, SCREEN_WIDTH } from './shared/geometry.js';

export const ScreenWidth = SCREEN_WIDTH;
export const ScreenHeight = SCREEN_HEIGHT;

/**
 * The largest whole scale at which the screen fits in width x height (at
 * least 1); in fullscreen any scale that fills the screen.
 * @param {number} width @param {number} height
 * @param {{ whole?: boolean }} [options]
 */
export function fitScale(width, height, { whole = true } = {}) {
  const scale = Math.min(width / ScreenWidth, height / ScreenHeight);
  if (!(scale > 0)) return 1;
  return whole ? Math.max(1, Math.floor(scale)) : scale;
}

/**
 * The area left for the screen in a viewport: in portrait the touch
 * buttons sit below the screen, in landscape beside it.
 * @param {number} width @param {number} height
 * @param {{ touch: boolean, bar: number, pad: number }} room pixels for the
 *   page's button bar, and for the touch pad (0 without touch)
 */
export function screenArea(width, height, { touch, bar, pad }) {
  const free = { width, height: Math.max(0, height - bar) };
  if (!touch) return free;
  if (height >= width) return { width: free.width, height: Math.max(0, free.height - pad) };
  return { width: Math.max(0, free.width - 2 * pad), height: free.height };
}
