// @ts-check
// The page as an app around a run: the game paused and the sound
// suspended while the page is hidden, the screen kept awake while a game
// is on it, and the mute button. The page calls started() when a run's
// program is up, frame() after each of its frames and ended() when it
// ends.
import { GameKeys } from './keys.js';
import { createMute } from './mute.js';
import { createHiddenPause } from './visibility.js';
import { createWakeLock } from './wakeLock.js';

/** @typedef {import('./runner.js').RunHandle} RunHandle */
/** @typedef {{ down(code: number): void, up(code: number): void }} Keys */

/**
 * @param {{ muteButton: HTMLButtonElement | null, storage: Storage | null }} parts
 */
export function createAppPanel({ muteButton, storage }) {
    /** @type {{ run: RunHandle, keys: Keys } | null} */
    let current = null;
    /** @type {AudioContext | null} */
    let audio = null;
    const mute = createMute(storage);
    const hiddenPause = createHiddenPause({
        inPlay: () => current?.run.inPlay() ?? false,
        pauseKey: (down) => (down ? current?.keys.down(GameKeys.P) : current?.keys.up(GameKeys.P)),
        sound: (on) => {
            if (on) audio?.resume().catch(() => {});
            else audio?.suspend().catch(() => {});
        },
    });
    const wakeLock = createWakeLock(
        /** @type {any} */ (navigator).wakeLock,
        () => document.visibilityState === 'visible',
    );
    document.addEventListener('visibilitychange', () => {
        const hidden = document.visibilityState === 'hidden';
        hiddenPause.hidden(hidden);
        if (!hidden) wakeLock.shown();
    });

    const showMute = () => muteButton?.setAttribute('aria-pressed', String(mute.muted));
    muteButton?.addEventListener('click', () => {
        mute.set(!mute.muted);
        mute.apply(audio);
        showMute();
    });
    showMute();

    return {
        /** The page's sound output, once made. @param {AudioContext | null} context */
        audio(context) {
            audio = context;
            mute.apply(audio);
            if (document.visibilityState === 'hidden') audio?.suspend().catch(() => {});
        },
        /** @param {RunHandle} run @param {Keys} keys */
        started(run, keys) {
            current = { run, keys };
        },
        frame() {
            if (!current) return;
            hiddenPause.frame();
            wakeLock.want(current.run.roundState() >= 0);
        },
        ended() {
            hiddenPause.reset();
            wakeLock.want(false);
            current = null;
        },
    };
}
