// @ts-check
// What the game's browser SDL (web/sdl/, web/game/PageSystem.cpp and
// PageMixer.cpp) leaves to JavaScript, because only JavaScript can do it:
// - the canvas: each frame's RGBA pixels, converted in WebAssembly, put on
//   the page's canvas in one putImageData (quadrell_show_frame);
// - the keys: key events from the page's key source (keys.js), handed to
//   SDL_PollEvent one at a time (quadrell_next_key);
// - sound: samples decoded here from their WAV bytes and played through
//   Web Audio at the desktop's volumes (chunk volume times channel volume);
//   music goes to the page's MOD player (Module.quadrellMusic), which may
//   arrive after the game has started.
// emscripten's own SDL is not linked (-sUSE_SDL=0): nothing here reaches
// into an emulation.
//
// The pure work (WAV parsing) lives in the page's ES modules and arrives on
// Module.quadrell (see runner.js), where node tests it.

/// <reference path="library_quadrell.d.ts" />

mergeInto(LibraryManager.library, {
    $QD__deps: ['free', 'quadrell_set_error'],
    $QD: {
        // The per-run bridge the runner fills in before main.
        bridge: function () {
            return Module['quadrell'];
        },
        // Key events not yet polled: DOM key code, plus 0x10000 when pressed.
        keys: null,
        // The canvas's context and the frame's pixels as an ImageData over
        // WebAssembly memory (made again when the memory grows).
        screen: null,
        chunks: [],
        // Channel volumes (0..128) and what each channel plays now.
        channelVolume: [],
        channelSource: [],
        music: { loaded: {}, next: 1, playing: false, fadeEnd: 0, volume: 128 },
        now: function () {
            return performance.now();
        },
        // What SDL_GetError answers next.
        /** @param {string} text */
        setError: function (text) {
            var ptr = allocateUTF8(text);
            _quadrell_set_error(ptr);
            _free(ptr);
        },
        /** @param {number} slot */
        channelGain: function (slot) {
            var entry = QD.channelSource[slot];
            if (entry && entry.gain) {
                entry.gain.gain.value = (entry.chunk.volume / 128) * (QD.channelVolume[slot] / 128);
            }
        },
    },

    // The next key event, or 0. The key source is listened to from the first
    // poll on; keys pressed before the game polls are not the game's.
    quadrell_next_key__deps: ['$QD'],
    quadrell_next_key: function () {
        if (!QD.keys) {
            /** @type {number[]} */
            var queue = (QD.keys = []);
            var source = Module['keyboardListeningElement'] || document;
            source.addEventListener('keydown', function (/** @type {KeyboardEvent} */ event) {
                queue.push(event.keyCode | 0x10000);
            });
            source.addEventListener('keyup', function (/** @type {KeyboardEvent} */ event) {
                queue.push(event.keyCode);
            });
        }
        return QD.keys.length ? QD.keys.shift() : 0;
    },

    // Each of the game's sleeps: the game has read its events since the last
    // one, and the page's key source paces quick taps by it (keys.js).
    quadrell_slept__deps: ['$QD'],
    quadrell_slept: function () {
        var bridge = QD.bridge();
        if (bridge.onSleep) bridge.onSleep();
    },

    // The frame (RGBA, rows of width pixels at ptr) onto the canvas, of it
    // the rows that changed (rows from top; none: the canvas shows it
    // already); the page's onFlip after it.
    quadrell_show_frame__deps: ['$QD'],
    /**
     * @param {number} ptr @param {number} width @param {number} height
     * @param {number} top @param {number} rows
     */
    quadrell_show_frame: function (ptr, width, height, top, rows) {
        var screen = QD.screen;
        var whole = false;
        if (
            !screen ||
            screen.buffer !== HEAPU8.buffer ||
            screen.ptr !== ptr ||
            screen.image.width !== width ||
            screen.image.height !== height
        ) {
            var canvas = Module['canvas'];
            if (canvas.width !== width || canvas.height !== height) {
                canvas.width = width;
                canvas.height = height;
            }
            var pixels = new Uint8ClampedArray(
                /** @type {ArrayBuffer} */ (HEAPU8.buffer),
                ptr,
                width * height * 4,
            );
            screen = QD.screen = {
                buffer: HEAPU8.buffer,
                ptr: ptr,
                context: canvas.getContext('2d'),
                image: new ImageData(pixels, width, height),
            };
            // A canvas whose pixels the browser dropped (a lost context)
            // gets the whole next frame.
            canvas.oncontextrestored = function () {
                QD.screen = null;
            };
            whole = true;
        }
        if (whole) screen.context.putImageData(screen.image, 0, 0);
        else if (rows > 0) screen.context.putImageData(screen.image, 0, 0, 0, top, width, rows);
        var bridge = QD.bridge();
        if (bridge.onFlip) bridge.onFlip();
    },

    Mix_OpenAudio__deps: ['$QD'],
    // The rate, format, channels and chunk size the game asks for are Web
    // Audio's business: it resamples every sound to the output's own rate.
    Mix_OpenAudio: function () {
        for (var i = 0; i < 8; i++) {
            QD.channelVolume[i] = 128;
            QD.channelSource[i] = null;
        }
        return 0;
    },
    Mix_CloseAudio__deps: ['$QD', 'Mix_HaltChannel', 'Mix_HaltMusic'],
    Mix_CloseAudio: function () {
        _Mix_HaltChannel(-1);
        _Mix_HaltMusic();
    },

    // A sample's bytes from PageMixer.cpp: its id, or 0 (SDL's error set).
    quadrell_wav_load__deps: ['$QD'],
    /** @param {number} ptr @param {number} size */
    quadrell_wav_load: function (ptr, size) {
        var bytes = HEAPU8.slice(ptr, ptr + size);
        var sound = QD.bridge().parseWav(bytes);
        if (sound.error) {
            QD.setError(sound.error);
            return 0;
        }
        QD.chunks.push({ sound: sound, volume: 128, buffer: null });
        return QD.chunks.length; // 0 stays the failure
    },
    quadrell_wav_free__deps: ['$QD'],
    /** @param {number} id */
    quadrell_wav_free: function (id) {
        if (id) QD.chunks[id - 1] = null;
    },
    quadrell_wav_volume__deps: ['$QD'],
    /** @param {number} id @param {number} volume */
    quadrell_wav_volume: function (id, volume) {
        var chunk = id ? QD.chunks[id - 1] : null;
        if (!chunk) return -1;
        var old = chunk.volume;
        if (volume >= 0) chunk.volume = Math.min(volume, 128);
        for (var i = 0; i < QD.channelSource.length; i++) {
            if (QD.channelSource[i] && QD.channelSource[i].chunk === chunk) QD.channelGain(i);
        }
        return old;
    },
    Mix_Volume__deps: ['$QD'],
    /** @param {number} channel @param {number} volume */
    Mix_Volume: function (channel, volume) {
        if (channel == -1) {
            var sum = 0;
            for (var i = 0; i < QD.channelVolume.length; i++) {
                sum += QD.channelVolume[i];
                if (volume >= 0) QD.channelVolume[i] = Math.min(volume, 128);
                QD.channelGain(i);
            }
            return Math.round(sum / QD.channelVolume.length);
        }
        var old = QD.channelVolume[channel];
        if (volume >= 0) QD.channelVolume[channel] = Math.min(volume, 128);
        QD.channelGain(channel);
        return old;
    },
    quadrell_wav_play__deps: ['$QD'],
    /** @param {number} channel @param {number} id @param {number} loops */
    quadrell_wav_play: function (channel, id, loops) {
        var chunk = id ? QD.chunks[id - 1] : null;
        if (!chunk) return -1;
        if (channel == -1) {
            for (var i = 0; i < QD.channelSource.length; i++) {
                if (!QD.channelSource[i]) {
                    channel = i;
                    break;
                }
            }
            if (channel == -1) {
                QD.setError('No free channels available');
                return -1;
            }
        }
        var audio = QD.bridge().audioContext;
        var slot = channel;
        // Volumes apply while the sample plays, as SDL_mixer's do: the game
        // sets the chunk's volume just after starting it.
        /** @type {{ stop: () => void, chunk: any, gain?: GainNode }} */
        var entry = { stop: function () {}, chunk: chunk };
        QD.channelSource[slot] = entry;
        if (audio) {
            if (!chunk.buffer) chunk.buffer = QD.bridge().makeAudioBuffer(audio, chunk.sound);
            var source = audio.createBufferSource();
            source.buffer = chunk.buffer;
            source.loop = loops != 0;
            var gain = audio.createGain();
            entry.gain = gain;
            source.connect(gain);
            gain.connect(QD.bridge().audioOutput || audio.destination);
            source.onended = function () {
                if (QD.channelSource[slot] === entry) QD.channelSource[slot] = null;
            };
            entry.stop = function () {
                try {
                    source.stop();
                } catch {
                    /* it had ended */
                }
            };
            QD.channelGain(slot);
            source.start();
        } else {
            // No sound output: the channel is busy for the sample's length.
            var ms = (chunk.sound.frames / chunk.sound.rate) * 1000;
            setTimeout(function () {
                if (QD.channelSource[slot] === entry) QD.channelSource[slot] = null;
            }, ms);
        }
        return channel;
    },
    Mix_HaltChannel__deps: ['$QD'],
    /** @param {number} channel */
    Mix_HaltChannel: function (channel) {
        for (var i = 0; i < QD.channelSource.length; i++) {
            if ((channel == -1 || channel == i) && QD.channelSource[i]) {
                QD.channelSource[i].stop();
                QD.channelSource[i] = null;
            }
        }
        return 0;
    },

    // Music: the MOD file's bytes go to the page's player. Whether music
    // plays is kept here, on the game's own clock, so that the game sees
    // the same answers as on the desktop even before the player has loaded.
    Mix_LoadMUS__deps: ['$QD'],
    /** @param {number} filename */
    Mix_LoadMUS: function (filename) {
        var path = UTF8ToString(filename);
        var bytes;
        try {
            bytes = FS.readFile(path);
        } catch {
            QD.setError("Couldn't open '" + path + "'");
            return 0;
        }
        var error = QD.bridge().checkMod(bytes);
        if (error) {
            QD.setError(error);
            return 0;
        }
        var id = QD.music.next++;
        QD.music.loaded[id] = bytes;
        return id;
    },
    Mix_FreeMusic__deps: ['$QD'],
    /** @param {number} id */
    Mix_FreeMusic: function (id) {
        delete QD.music.loaded[id];
    },
    Mix_FadeInMusic__deps: ['$QD'],
    /** @param {number} id @param {number} loops @param {number} ms */
    Mix_FadeInMusic: function (id, loops, ms) {
        var bytes = QD.music.loaded[id];
        if (!bytes) {
            QD.setError('Music is NULL');
            return -1;
        }
        QD.music.playing = true;
        QD.music.fadeEnd = 0;
        var bridge = QD.bridge();
        if (bridge.music)
            bridge.music.play(bytes, { loop: loops != 0, fadeInMs: ms, volume: QD.music.volume });
        return 0;
    },
    Mix_FadeOutMusic__deps: ['$QD'],
    /** @param {number} ms */
    Mix_FadeOutMusic: function (ms) {
        if (!QD.music.playing) return 0;
        QD.music.fadeEnd = QD.now() + ms;
        var bridge = QD.bridge();
        if (bridge.music) bridge.music.fadeOut(ms);
        return 1;
    },
    Mix_HaltMusic__deps: ['$QD'],
    Mix_HaltMusic: function () {
        QD.music.playing = false;
        QD.music.fadeEnd = 0;
        var bridge = QD.bridge();
        if (bridge && bridge.music) bridge.music.stop();
        return 0;
    },
    Mix_PlayingMusic__deps: ['$QD'],
    Mix_PlayingMusic: function () {
        if (QD.music.playing && QD.music.fadeEnd && QD.now() >= QD.music.fadeEnd) {
            QD.music.playing = false;
            QD.music.fadeEnd = 0;
        }
        return QD.music.playing ? 1 : 0;
    },
    Mix_VolumeMusic__deps: ['$QD'],
    /** @param {number} volume */
    Mix_VolumeMusic: function (volume) {
        var old = QD.music.volume;
        if (volume >= 0) {
            QD.music.volume = Math.min(volume, 128);
            var bridge = QD.bridge();
            if (bridge.music) bridge.music.setVolume(QD.music.volume);
        }
        return old;
    },
});
