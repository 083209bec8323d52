// @ts-check
// Where the page puts the game: the largest whole scale of the 320x240
// screen that fits, counted in device pixels (so that a phone with 3 of
// them to a CSS pixel gets every one it has), and the room the touch
// controls and the page's bar take around it.

import { SCREEN_HEIGHT, SCREEN_WIDTH } from './shared/geometry.js';

export const ScreenWidth = SCREEN_WIDTH;
export const ScreenHeight = SCREEN_HEIGHT;

/** The page's bar: buttons of at least this size. */
export const BarButton = 48;
/** Space between touch buttons, and around the pads. */
export const Gap = 6;
export const Margin = 8;
/** Desktop: the bar and the line of keys under the screen. */
const DesktopBelow = BarButton + 2 * Margin + 40;
/** Touch button sizes tried, largest first. */
const ButtonSizes = [60, 56, 52, 48];

/**
 * The scale in CSS pixels per screen pixel: the largest whole number of
 * device pixels per screen pixel that fits in width x height CSS pixels,
 * over the device's pixels per CSS pixel. Where not even one device pixel
 * a screen pixel fits, the screen shrinks to fit, unsharp but whole.
 * @param {number} width @param {number} height @param {number} dpr
 */
export function fitScale(width, height, dpr) {
    const fits = Math.min(width / ScreenWidth, height / ScreenHeight);
    if (!(fits > 0)) return 1 / (dpr || 1);
    const whole = Math.floor(fits * dpr + 1e-9);
    return whole >= 1 ? whole / dpr : fits;
}

/**
 * @typedef {object} Plan
 * @property {number} scale CSS px per screen pixel
 * @property {number} button the touch buttons' size in CSS px (0 without touch)
 * @property {number} side the width of each side column in landscape touch layouts (else 0)
 * @property {'desktop' | 'portrait' | 'landscape'} form
 */

/**
 * The page's layout for a viewport.
 * Desktop: the screen, the bar and the keys' line under it, centred.
 * Touch, portrait: the bar, the screen, the drag strip, then the move pad
 * (a cross of Up, Left, Right, Down) and the action pad (Back, Pause over a
 * large Select) side by side at the thumbs. Touch, landscape: the move pad
 * (Up and Down over Left and Right, two buttons wide) left of the screen,
 * the bar (in two rows) and the action pad right of it, the strip under the
 * screen.
 * @param {{ width: number, height: number, dpr: number, touch: boolean }} viewport CSS px
 * @returns {Plan}
 */
export function planLayout({ width, height, dpr, touch }) {
    if (!touch) {
        return {
            scale: fitScale(width - 2 * Margin, height - DesktopBelow, dpr),
            button: 0,
            side: 0,
            form: 'desktop',
        };
    }
    const landscape = width > height;
    /** @type {Plan | null} */
    let best = null;
    for (const button of ButtonSizes) {
        const cross = 3 * button + 2 * Gap;
        const actions = 2 * button + Gap;
        /** @type {Plan} */
        let plan;
        if (landscape) {
            const side = actions + 2 * Margin;
            // The right column holds the bar in two rows over the action pad.
            if (
                2 * BarButton + Gap + 2 * Margin + cross + 2 * Margin > height &&
                button > ButtonSizes[ButtonSizes.length - 1]
            )
                continue;
            plan = { scale: fitScale(width - 2 * side, height, dpr), button, side, form: 'landscape' };
        } else {
            if (cross + actions + 3 * Margin > width && button > ButtonSizes[ButtonSizes.length - 1])
                continue;
            const below = cross + 2 * Margin;
            plan = {
                scale: fitScale(width, height - BarButton - 2 * Margin - below, dpr),
                button,
                side: 0,
                form: 'portrait',
            };
        }
        if (!best || plan.scale > best.scale + 1e-9) best = plan;
    }
    return /** @type {Plan} */ (best);
}
