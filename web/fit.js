// @ts-check
// Lays the page out before its first paint (the built index.html runs this
// and its imports as one inline script at the top of its body, see
// assemblePage.mjs), so that the screen's box is where it stays while the
// game loads, and again on every resize, rotation, zoom and fullscreen
// change. The plan is layout.js's; this only applies it. Plain imports and
// exports only: the build inlines nothing else.
import { planLayout } from './layout.js';

/** A touch screen: the touch controls, the drag strip, "Tap to play". */
export const touch = navigator.maxTouchPoints > 0 || 'ontouchstart' in window;

export function fit() {
    const dpr = window.devicePixelRatio || 1;
    // The layout viewport: innerWidth grows with anything wider than it.
    const { clientWidth: width, clientHeight: height } = document.documentElement;
    const plan = planLayout({ width, height, dpr, touch });
    const root = document.documentElement.style;
    root.setProperty('--scale', String(plan.scale));
    root.setProperty('--btn', `${plan.button}px`);
    root.setProperty('--side', `${plan.side}px`);
    document.body.classList.toggle('touch', touch);
    document.body.dataset.form = plan.form;
}

/**
 * Zoom and a move to another display change the device pixels per CSS
 * pixel, not always with a resize event. A media query on the present
 * resolution tells at once where the browser reports it; a look twice a
 * second catches the rest (an emulated device, for one) without waking
 * every frame, as an animation-frame loop would.
 */
function watchResolution() {
    let seen = 0;
    const check = () => {
        if (window.devicePixelRatio === seen) return;
        if (seen) fit();
        seen = window.devicePixelRatio;
        matchMedia(`(resolution: ${seen}dppx)`).addEventListener('change', check, { once: true });
    };
    check();
    setInterval(check, 500);
}

window.addEventListener('resize', fit);
document.addEventListener('fullscreenchange', fit);
fit();
watchResolution();
