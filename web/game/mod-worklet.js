// @ts-check
// The title tune in the audio thread: a ModPlayer (mod.js) driven by the
// messages of music.js (play, fadeOut, stop, volume).
import { ModPlayer, MusicGain, parseMod } from './mod.js';

class QuadrellMod extends AudioWorkletProcessor {
    constructor() {
        super();
        /** @type {ModPlayer | null} */
        this.player = null;
        this.gain = new MusicGain();
        this.port.onmessage = ({ data }) => {
            if (data.type === 'play') {
                try {
                    this.player = new ModPlayer(parseMod(data.bytes), sampleRate, { loop: data.loop });
                } catch {
                    this.player = null;
                }
                this.gain.volume = data.volume;
                this.gain.fadeIn(currentTime, data.fadeInMs / 1000);
            } else if (data.type === 'fadeOut') {
                this.gain.fadeOut(currentTime, data.ms / 1000);
            } else if (data.type === 'stop') {
                this.player = null;
            } else if (data.type === 'volume') {
                this.gain.volume = data.volume;
            }
        };
    }

    /** @param {Float32Array[][]} _inputs @param {Float32Array[][]} outputs */
    process(_inputs, outputs) {
        const [left, right] = outputs[0];
        if (this.player && left) {
            this.player.render(left, right ?? left, this.gain.at(currentTime));
            // Faded out: the music has stopped, as SDL_mixer halts it.
            const { to, start, length } = this.gain.fade;
            if (to === 0 && currentTime >= start + length) this.player = null;
        }
        return true;
    }
}

registerProcessor('quadrell-mod', QuadrellMod);
