// @ts-check
// The title tune's player as the game's music calls see it: the calls
// arrive at once, the player itself (an AudioWorklet playing the MOD file)
// is loaded on the first play, and what was asked meanwhile is applied when
// it is there.

/** @typedef {{ loop: boolean, fadeInMs: number, volume: number }} PlayOptions */

/**
 * The page's sound output: made at the first call, which comes from the
 * player's click or key (browsers let sound start only after one), and
 * resumed at every call; null where the browser has none.
 * @param {AudioContext | null} context the one made before, if any
 * @returns {AudioContext | null}
 */
export function startAudio(context) {
    if (!context && typeof AudioContext === 'function') {
        try {
            // Large output buffers: the audio threads wake a few times less
            // often, which took the page's sound from about 4% to about 1.2%
            // of a core in a desktop Chromium (bench/web-game.mjs). The cost
            // is latency: about 70 ms there against 30 ms, still well under
            // the desktop game's own (4096 samples at 22050 Hz, 186 ms).
            context = new AudioContext({ latencyHint: 'playback' });
        } catch {
            context = null;
        }
    }
    context?.resume().catch(() => {});
    return context;
}

/** @type {WeakMap<BaseAudioContext, GainNode>} */
const outputs = new WeakMap();

/**
 * Where all of the page's sound goes (the game's effects and the tune):
 * one gain before the speakers, which the page's mute button turns down
 * without touching the game's own volumes.
 * @param {BaseAudioContext} context
 * @returns {GainNode}
 */
export function soundOutput(context) {
    let output = outputs.get(context);
    if (!output) {
        output = context.createGain();
        output.connect(context.destination);
        outputs.set(context, output);
    }
    return output;
}

/**
 * @param {AudioContext} context
 * @param {{ workletUrl?: string, onState?: (state: 'loading' | 'ready' | 'failed') => void }} [options]
 */
export function createLazyMusic(
    context,
    { workletUrl = new URL('mod-worklet.js', import.meta.url).href, onState = () => {} } = {},
) {
    /** @type {AudioWorkletNode | null} */
    let node = null;
    /** @type {Promise<AudioWorkletNode | null> | null} */
    let loading = null;
    let volume = 128;
    /** @param {object} message */
    const post = (message) => {
        if (node) node.port.postMessage(message);
        else load().then((made) => made?.port.postMessage(message));
    };
    const load = () => {
        if (!loading) onState('loading');
        loading ??= context.audioWorklet
            .addModule(workletUrl)
            .then(() => {
                node = new AudioWorkletNode(context, 'quadrell-mod', {
                    numberOfInputs: 0,
                    outputChannelCount: [2],
                });
                node.connect(soundOutput(context));
                onState('ready');
                return node;
            })
            .catch(() => {
                onState('failed');
                return null;
            });
        return loading;
    };
    return {
        /** @param {Uint8Array} bytes @param {PlayOptions} options */
        play(bytes, options) {
            volume = options.volume;
            post({
                type: 'play',
                bytes: bytes.slice(),
                loop: options.loop,
                fadeInMs: options.fadeInMs,
                volume,
            });
        },
        /** @param {number} ms */
        fadeOut(ms) {
            post({ type: 'fadeOut', ms });
        },
        stop() {
            if (node || loading) post({ type: 'stop' });
        },
        /** @param {number} value */
        setVolume(value) {
            volume = value;
            if (node || loading) post({ type: 'volume', volume });
        },
    };
}
