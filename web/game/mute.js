// @ts-check
// The page's mute: all of its sound off or on, remembered for the next
// visit; the game's own volumes (its options screen) stay as they are.
import { soundOutput } from './music.js';

const Key = 'quadrell-muted';

/**
 * @param {Pick<Storage, 'getItem' | 'setItem'> | null} storage where the choice is kept (null: nowhere)
 */
export function createMute(storage) {
    let muted = false;
    try {
        muted = storage?.getItem(Key) === '1';
    } catch {
        // Storage refused (a private window): not remembered.
    }
    return {
        get muted() {
            return muted;
        },
        /** @param {boolean} value */
        set(value) {
            muted = value;
            try {
                storage?.setItem(Key, muted ? '1' : '0');
            } catch {
                // As above.
            }
        },
        /** Applies the choice to the page's sound output. @param {BaseAudioContext | null} context */
        apply(context) {
            if (context) soundOutput(context).gain.value = muted ? 0 : 1;
        },
    };
}
