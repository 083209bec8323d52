// @ts-check
// The game's touch buttons, for the game's page and the editor's Play
// alike: a button with data-key (or data-keys) holds its keys while a
// finger is on it, one with data-tap presses its keys once, just long
// enough for the game to see them (Back's A+B). Keys are named as in
// GameKeys ("Left", "A B") or by their numbers ("37").
//
// A thumb sliding from one hold button onto another moves the press with
// it (Left to Right steers right at once). A touch start on the controls is
// cancelled, so that the browser expects no scroll or zoom from it and does
// not hold the game's timers back while it waits to see which it is.
import { keyCodeOf } from '../game/keys.js';

/** @typedef {import('../game/keys.js').KeySource} KeySource */

/** @param {HTMLElement} element @param {'data-key' | 'data-tap'} attribute */
function codesOf(element, attribute) {
    const names =
        element.getAttribute(attribute) ??
        (attribute === 'data-key' ? element.getAttribute('data-keys') : '');
    return (names ?? '').split(/\s+/).map(keyCodeOf).filter(Boolean);
}

/**
 * Wires the buttons inside root; answers a function that undoes it.
 * @param {HTMLElement} root holds the buttons
 * @param {() => KeySource | null} keys the running game's key source, if any
 * @param {{ onPress?: () => void }} [options] onPress: any button pressed and let go
 *   (the page starts the game on it: a touch's lift is a gesture that lets
 *   sound start, its landing is not)
 */
export function wireTouchControls(root, keys, { onPress } = {}) {
    const holder = 'touch';
    /** @type {Map<number, HTMLElement>} pointer -> the hold button under it */
    const pointers = new Map();

    /** @param {EventTarget | null} target */
    const buttonOf = (target) => {
        const element =
            target instanceof Element ? target.closest('[data-key], [data-keys], [data-tap]') : null;
        return element instanceof HTMLElement && root.contains(element) ? element : null;
    };
    /** @param {HTMLElement} button @param {boolean} down */
    const hold = (button, down) => {
        button.classList.toggle('held', down);
        const source = keys();
        if (!source) return;
        for (const code of codesOf(button, 'data-key'))
            down ? source.down(code, holder) : source.up(code, holder);
    };
    /** @param {HTMLElement} button */
    const tap = (button) => {
        keys()?.tap(codesOf(button, 'data-tap'));
        button.classList.add('held');
        setTimeout(() => button.classList.remove('held'), 120);
    };
    /** @param {number} pointerId */
    const lift = (pointerId) => {
        const button = pointers.get(pointerId);
        pointers.delete(pointerId);
        // Another finger may still be on the same button.
        if (button && ![...pointers.values()].includes(button)) hold(button, false);
    };

    /** @param {PointerEvent} event */
    const onDown = (event) => {
        const button = buttonOf(event.target);
        if (!button) return;
        event.preventDefault();
        if (button.hasAttribute('data-tap')) {
            tap(button);
            return;
        }
        pointers.set(event.pointerId, button);
        hold(button, true);
    };
    /** @param {PointerEvent} event */
    const onMove = (event) => {
        const from = pointers.get(event.pointerId);
        if (!from) return;
        const to = buttonOf(document.elementFromPoint(event.clientX, event.clientY));
        if (!to || to === from || to.hasAttribute('data-tap')) return;
        lift(event.pointerId);
        pointers.set(event.pointerId, to);
        hold(to, true);
    };
    /** @param {PointerEvent} event */
    const onUp = (event) => {
        if (event.type === 'pointerup' && buttonOf(event.target)) onPress?.();
        lift(event.pointerId);
    };
    /** @param {TouchEvent} event */
    const onTouchStart = (event) => {
        if (buttonOf(event.target)) event.preventDefault();
    };
    // A click without a pointer before it: the keyboard's Enter or a screen
    // reader's activation. The button's keys are pressed once.
    /** @param {MouseEvent} event */
    const onClick = (event) => {
        const button = buttonOf(event.target);
        if (!button || event.detail !== 0) return;
        onPress?.();
        const source = keys();
        if (!source) return;
        const codes = button.hasAttribute('data-tap')
            ? codesOf(button, 'data-tap')
            : codesOf(button, 'data-key');
        source.tap(codes);
    };
    /** @param {Event} event */
    const noMenu = (event) => {
        if (buttonOf(event.target)) event.preventDefault();
    };

    /** @type {[string, (event: any) => void, AddEventListenerOptions?][]} */
    const listeners = [
        ['pointerdown', onDown],
        ['pointermove', onMove],
        ['pointerup', onUp],
        ['pointercancel', onUp],
        ['lostpointercapture', onUp],
        ['touchstart', onTouchStart, { passive: false }],
        ['click', onClick],
        ['contextmenu', noMenu],
    ];
    for (const [type, listener, options] of listeners) root.addEventListener(type, listener, options);
    return () => {
        for (const [type, listener, options] of listeners) root.removeEventListener(type, listener, options);
        for (const pointerId of [...pointers.keys()]) lift(pointerId);
    };
}

/**
 * Cancels every touch start in root, so that no finger landing anywhere on
 * it makes the browser hold the game's timers back while it waits to see
 * whether a scroll or a zoom begins (about 100 ms of frames lost). Buttons
 * there then get no click from a touch; a touch that lifts on the button it
 * landed on clicks it here (the lift is a user gesture, so fullscreen and
 * sound may start from it). Answers a function that undoes it.
 * @param {HTMLElement} root
 */
export function cancelTouchStarts(root) {
    /** @type {Map<number, Element>} */
    const landedOn = new Map();
    /** @param {TouchEvent} event */
    const onTouchStart = (event) => event.preventDefault();
    /** @param {PointerEvent} event */
    const onDown = (event) => {
        const button = event.target instanceof Element ? event.target.closest('button') : null;
        if (event.pointerType === 'touch' && button) landedOn.set(event.pointerId, button);
    };
    /** @param {PointerEvent} event */
    const onUp = (event) => {
        const button = landedOn.get(event.pointerId);
        landedOn.delete(event.pointerId);
        if (!(button instanceof HTMLButtonElement) || event.type !== 'pointerup') return;
        // The game's own controls act on pointers already.
        if (button.closest('[data-key], [data-keys], [data-tap]')) return;
        if (button.contains(document.elementFromPoint(event.clientX, event.clientY))) button.click();
    };
    root.addEventListener('touchstart', onTouchStart, { passive: false });
    root.addEventListener('pointerdown', onDown);
    root.addEventListener('pointerup', onUp);
    root.addEventListener('pointercancel', onUp);
    return () => {
        root.removeEventListener('touchstart', onTouchStart);
        root.removeEventListener('pointerdown', onDown);
        root.removeEventListener('pointerup', onUp);
        root.removeEventListener('pointercancel', onUp);
    };
}
