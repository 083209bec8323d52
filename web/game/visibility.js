// @ts-check
// A hidden page pauses the game the way a player would: the page presses
// the game's own pause key, holds it until the game has paused (the game
// reads its keys once a frame, and a hidden page's frames come slowly),
// and the sound waits until the page is back. The game stays paused on
// return; the player resumes it with the select key, as after any pause.

/** Frames to hold the pause key at most, should the game never pause (it ended, say). */
export const MaxPauseFrames = 30;

/**
 * @param {object} game
 * @param {() => boolean} game.inPlay whether a ball is in play now
 * @param {(down: boolean) => void} game.pauseKey presses or lets go of the pause key
 * @param {(on: boolean) => void} game.sound suspends (false) or resumes (true) the page's sound
 */
export function createHiddenPause({ inPlay, pauseKey, sound }) {
    let holding = false;
    let frames = 0;
    const letGo = () => {
        holding = false;
        pauseKey(false);
    };
    return {
        /** The page was hidden (true) or shown again. @param {boolean} hidden */
        hidden(hidden) {
            sound(!hidden);
            if (hidden && !holding && inPlay()) {
                holding = true;
                frames = 0;
                pauseKey(true);
            }
        },
        /** After each frame of the game. */
        frame() {
            if (holding && (!inPlay() || ++frames >= MaxPauseFrames)) letGo();
        },
        /** The run ended: nothing is held. */
        reset() {
            if (holding) letGo();
        },
    };
}
