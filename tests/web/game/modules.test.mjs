// @ts-check
// The page's pure modules under node: the desktop's 16-bit colour, WAV
// reading, the MOD player and its fades, keys and the layout.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { test } from 'node:test';
import { LatchFallbackMs, createKeySource, gameKeyOf, keyCodeOf } from '../../../web/game/keys.js';
import { checkMod, parseWav, through5, through6 } from '../../../web/game/media.js';
import { ModPlayer, MusicGain, parseMod } from '../../../web/game/mod.js';
import { fitScale, planLayout } from '../../../web/layout.js';
import { padKeys } from '../../../web/game/gamepad.js';
import { screenXOf, steerKey } from '../../../web/game/steer.js';
import { recordRunListeners } from '../../../web/game/runListeners.js';
import { MaxPauseFrames, createHiddenPause } from '../../../web/game/visibility.js';
import { createWakeLock } from '../../../web/game/wakeLock.js';

const data = new URL('../../../data/', import.meta.url);

test('colours come out as the desktop shows RGB565', () => {
    // Read off desktop screenshots: green level 42 shows as 169, 63 as 254.
    assert.deepEqual(
        [through5[255], through6[255], through5[9], through6[170], through5[4]],
        [255, 254, 8, 169, 0],
    );
    for (let v = 0; v < 256; v++) {
        assert.equal(through5[through5[v]], through5[v], 'a second pass changes nothing');
        assert.equal(through6[through6[v]], through6[v], 'a second pass changes nothing');
    }
});

test('WAV samples and the MOD check from the game data; bad files are refused', () => {
    const hit = parseWav(readFileSync(new URL('sounds/hit.wav', data)));
    assert.ok(
        !('error' in hit) && hit.frames > 100 && hit.samples.every((s) => s.every((v) => v >= -1 && v <= 1)),
    );
    assert.ok('error' in parseWav(Uint8Array.from([1, 2, 3])));
    const truncated = readFileSync(new URL('sounds/hit.wav', data)).subarray(0, 30);
    const cut = parseWav(truncated);
    assert.ok('error' in cut || cut.frames === 0);
    assert.equal(checkMod(readFileSync(new URL('sounds/title.mod', data))), null);
    assert.ok(checkMod(readFileSync(new URL('sounds/hit.wav', data))));
});

/** A MOD with one square-wave sample and the given rows of channel 1. @param {number[][]} rows */
function tinyMod(rows) {
    const bytes = new Uint8Array(1084 + 1024 + 64);
    bytes[20 + 23] = 32; // sample 1: 64 bytes
    bytes[20 + 25] = 64; // full volume
    bytes[20 + 29] = 32; // looping over all of it
    bytes[950] = 1;
    bytes.set(
        [...'M.K.'].map((c) => c.charCodeAt(0)),
        1080,
    );
    rows.forEach((cell, row) => bytes.set(cell, 1084 + row * 16));
    for (let i = 0; i < 64; i++) bytes[1084 + 1024 + i] = i < 32 ? 100 : 256 - 100;
    return bytes;
}

/** Peak level of each tick of a 4-tick render at 125 BPM. @param {ModPlayer} player */
function tickPeaks(player, ticks = 4) {
    const perTick = Math.round((44100 * 2.5) / 125);
    const peaks = [];
    for (let t = 0; t < ticks; t++) {
        const left = new Float32Array(perTick),
            right = new Float32Array(perTick);
        player.render(left, right, 1);
        peaks.push(Math.max(...left.map(Math.abs), ...right.map(Math.abs)));
    }
    return peaks;
}

test('MOD player: notes sound, Cxx sets the volume, ECx cuts, Fxx sets the speed; the title tune plays', () => {
    // Period 428 (C-2), sample 1, effect C20 (half volume).
    const half = tickPeaks(new ModPlayer(parseMod(tinyMod([[0x01, 0xac, 0x1c, 0x20]])), 44100));
    const full = tickPeaks(new ModPlayer(parseMod(tinyMod([[0x01, 0xac, 0x10, 0x00]])), 44100));
    assert.ok(full[0] > 0.1 && Math.abs(half[0] - full[0] / 2) < 0.01, `${half[0]} ${full[0]}`);
    // EC2: silent from the third tick of the row.
    const cut = tickPeaks(new ModPlayer(parseMod(tinyMod([[0x01, 0xac, 0x1e, 0xc2]])), 44100));
    assert.ok(cut[1] > 0.1 && cut[2] === 0 && cut[3] === 0, String(cut));
    // F02: two ticks a row, so the next row (a cut at once) comes on tick 2.
    const fast = new ModPlayer(
        parseMod(
            tinyMod([
                [0x01, 0xac, 0x1f, 0x02],
                [0, 0, 0x0e, 0xc0],
            ]),
        ),
        44100,
    );
    const peaks = tickPeaks(fast);
    assert.equal(fast.speed, 2);
    assert.ok(peaks[1] > 0.1 && peaks[2] === 0, String(peaks));

    const tune = new ModPlayer(parseMod(readFileSync(new URL('sounds/title.mod', data))), 44100);
    const left = new Float32Array(44100 * 2),
        right = new Float32Array(44100 * 2);
    tune.render(left, right, 1);
    assert.ok(
        Math.max(...left) > 0.05 && Math.max(...right) > 0.05,
        'two seconds of the tune are not silent',
    );
    assert.ok(Math.max(...left.map(Math.abs)) <= 1);
    assert.throws(() => parseMod(new Uint8Array(100)));
});

test('music gain: volume times a linear fade in, and a fade out from wherever it is', () => {
    const gain = new MusicGain();
    gain.volume = 64;
    gain.fadeIn(10, 2);
    assert.equal(gain.at(10), 0);
    assert.equal(gain.at(11), 0.25);
    assert.equal(gain.at(13), 0.5);
    gain.fadeOut(11, 1); // from half-way in
    assert.equal(gain.at(11), 0.25);
    assert.equal(gain.at(12.5), 0);
});

test('keys: the game keys by code, browser shortcuts left alone; the key source holds and releases', () => {
    assert.equal(gameKeyOf({ code: 'ArrowLeft', keyCode: 37 }), 37);
    assert.equal(gameKeyOf({ code: 'KeyA', keyCode: 65 }), 65);
    assert.equal(gameKeyOf({ code: 'KeyR', keyCode: 82, ctrlKey: true }), 0);
    assert.equal(gameKeyOf({ code: 'F5', keyCode: 116 }), 0);
    const source = createKeySource();
    /** @type {string[]} */
    const seen = [];
    source.addEventListener('keydown', (e) => seen.push(`down ${e.keyCode}`));
    source.addEventListener('keyup', (e) => seen.push(`up ${e.keyCode}`));
    source.down(32);
    source.down(32); // a repeat is not a second press
    source.frame();
    source.frame();
    source.down(37);
    source.frame();
    source.frame();
    source.up(32);
    source.release();
    assert.deepEqual(seen, ['down 32', 'down 37', 'up 32', 'up 37']);
});

test('keys: each change waits until the game has seen the one before; holders share a key; Back is one frame', () => {
    /** @type {(() => void)[]} */
    let timers = [];
    let clock = 0;
    const source = createKeySource({ setTimer: (run) => timers.push(run), now: () => clock });
    /** @type {string[]} */
    const seen = [];
    source.addEventListener('keydown', (e) => seen.push(`down ${e.keyCode}`));
    source.addEventListener('keyup', (e) => seen.push(`up ${e.keyCode}`));
    const frames = (/** @type {number} */ n) => {
        for (let i = 0; i < n; i++) source.frame();
    };
    // A tap between two frames: the game sees it held for the next two (its
    // down may come in the middle of the first).
    source.down(40, 'touch');
    source.up(40, 'touch');
    assert.deepEqual(seen, ['down 40']);
    assert.ok(source.isHeld(40));
    frames(1);
    assert.deepEqual(seen, ['down 40']);
    frames(1);
    assert.deepEqual(seen, ['down 40', 'up 40']);
    // Two quick taps are two presses, each seen; so is a tap of another key
    // while the first is held back.
    frames(2);
    seen.length = 0;
    source.down(40, 'touch');
    source.up(40, 'touch');
    source.down(40, 'touch');
    source.up(40, 'touch');
    source.down(38, 'touch');
    source.up(38, 'touch');
    frames(12);
    assert.deepEqual(seen, ['down 40', 'up 40', 'down 40', 'up 40', 'down 38', 'up 38']);
    // A menu waiting for the release reads its events between sleeps, with no
    // frame: two sleeps let the key go.
    seen.length = 0;
    source.down(32, 'touch');
    source.up(32, 'touch');
    source.sleep();
    assert.deepEqual(seen, ['down 32']);
    source.sleep();
    assert.deepEqual(seen, ['down 32', 'up 32']);
    // Two holders: the key goes up when the last lets go.
    frames(2);
    seen.length = 0;
    source.down(37, 'keyboard');
    source.down(37, 'pad');
    frames(2);
    source.up(37, 'keyboard');
    assert.deepEqual(seen, ['down 37']);
    source.up(37, 'pad');
    assert.deepEqual(seen, ['down 37', 'up 37']);
    // Back: A and B down, then up, each a frame after the one before: seen
    // together in one frame only.
    frames(2);
    seen.length = 0;
    source.tap([65, 66]);
    for (let i = 0; i < 3; i++) {
        assert.ok(seen.length > 0);
        frames(1);
    }
    assert.deepEqual(seen, ['down 65', 'down 66', 'up 65', 'up 66']);
    // Where the game reports neither frames nor sleeps, a timer lets go.
    frames(2);
    seen.length = 0;
    source.down(39, 'touch');
    source.up(39, 'touch');
    clock += LatchFallbackMs;
    for (const run of timers.splice(0)) run();
    assert.deepEqual(seen, ['down 39', 'up 39']);
    // The run's end lets go of everything held, and sends nothing held back.
    frames(2);
    source.down(38, 'touch');
    source.down(40, 'touch');
    source.release();
    assert.deepEqual(seen.slice(2), ['down 38', 'up 38']);
    timers = [];
    assert.equal(keyCodeOf('Left'), 37);
    assert.equal(keyCodeOf('66'), 66);
    assert.equal(keyCodeOf('Tab'), 0);
});

test('layout: whole device pixels per screen pixel, the touch controls beside or below the screen', () => {
    assert.equal(fitScale(1280, 1000, 1), 4);
    assert.equal(fitScale(390, 600, 3), 1); // 3 device pixels of 1170 across
    assert.equal(fitScale(300, 200, 1), 200 / 240); // not even one: shrunk to fit
    assert.equal(planLayout({ width: 1280, height: 800, dpr: 1, touch: false }).scale, 2);
    const phones = [
        [390, 844],
        [412, 915],
        [360, 640],
        [844, 390],
        [915, 412],
        [640, 360],
        [320, 480],
        [480, 320],
    ];
    for (const [width, height] of phones) {
        const plan = planLayout({ width, height, dpr: 3, touch: true });
        assert.ok(plan.button >= 48, `${width}x${height}`);
        assert.equal(plan.form, width > height ? 'landscape' : 'portrait');
        const screen = { width: 320 * plan.scale, height: 240 * plan.scale };
        if (plan.form === 'landscape') assert.ok(screen.width + 2 * plan.side <= width, `${width}x${height}`);
        else assert.ok(screen.height + 48 + 16 + 3 * plan.button + 12 + 16 <= height, `${width}x${height}`);
    }
    // A landscape phone at 3 device pixels: at least 4 of them a screen pixel.
    assert.ok(planLayout({ width: 844, height: 390, dpr: 3, touch: true }).scale * 3 >= 4);
});

test("steering and gamepads: the key to hold toward the pointer; each pad's buttons and sticks as keys", () => {
    assert.equal(steerKey(-1, 100), 0, 'no ball in play');
    assert.equal(steerKey(150, null), 0, 'no pointer');
    assert.equal(steerKey(150, 200), 39);
    assert.equal(steerKey(150, 100), 37);
    assert.equal(steerKey(150, 151), 0, 'under the pointer');
    assert.equal(screenXOf(150, { left: 100, width: 640 }), 25);
    assert.equal(screenXOf(900, { left: 100, width: 640 }), 320);
    const pad = (/** @type {number[]} */ pressed, /** @type {number[]} */ axes = [0, 0]) => ({
        axes,
        buttons: Array.from({ length: 17 }, (_, i) => ({ pressed: pressed.includes(i) })),
    });
    assert.deepEqual([...padKeys([pad([12, 0])]).keys].sort(), [32, 38]);
    assert.deepEqual([...padKeys([null, pad([], [0.9, -0.2])]).keys], [39]);
    assert.deepEqual([...padKeys([pad([9], [-0.6, 0.7])]).keys].sort(), [37, 40, 80]);
    assert.equal(padKeys([pad([1])]).back, true);
    assert.equal(padKeys([pad([1])]).keys.size, 0);
});

test("the page as an app: a hidden page presses pause once and lets go; the wake lock; a run's listeners go with it", async () => {
    // Hidden during play: sound off, the pause key held until the game has paused.
    /** @type {string[]} */
    const calls = [];
    let inPlay = true;
    const pause = createHiddenPause({
        inPlay: () => inPlay,
        pauseKey: (down) => calls.push(down ? 'P down' : 'P up'),
        sound: (on) => calls.push(on ? 'sound on' : 'sound off'),
    });
    pause.hidden(true);
    pause.frame(); // the frame that reads the key is still in play
    inPlay = false;
    pause.frame();
    pause.hidden(false);
    assert.deepEqual(calls, ['sound off', 'P down', 'P up', 'sound on']);
    // Outside play the page presses nothing; a game that never pauses is let go of.
    calls.length = 0;
    pause.hidden(true);
    assert.deepEqual(calls, ['sound off']);
    inPlay = true;
    pause.hidden(false);
    pause.hidden(true);
    for (let i = 0; i < MaxPauseFrames; i++) pause.frame();
    assert.deepEqual(calls.slice(-2), ['P down', 'P up']);

    // The wake lock: asked for once, given back, asked again after the browser dropped it.
    /** @type {string[]} */
    const log = [];
    let dropped = () => {};
    const api = {
        request: async () => {
            log.push('request');
            return {
                release: async () => void log.push('release'),
                addEventListener: (/** @type {string} */ _type, /** @type {() => void} */ f) => (dropped = f),
            };
        },
    };
    let visible = true;
    const lock = createWakeLock(api, () => visible);
    lock.want(true);
    lock.want(true);
    await Promise.resolve();
    assert.ok(lock.held);
    visible = false;
    dropped(); // hidden: the browser lets go
    assert.ok(!lock.held);
    visible = true;
    lock.shown();
    await Promise.resolve();
    lock.want(false);
    assert.deepEqual(log, ['request', 'request', 'release']);
    createWakeLock(undefined, () => true).want(true); // no Wake Lock: nothing happens

    // Listeners added from the program's script are removed at release; the page's own stay.
    const target = new EventTarget();
    let fromProgram = true;
    const record = recordRunListeners([target], 'quadrell.js', () =>
        fromProgram ? 'at f (http://h/game/quadrell.js:1:2)' : 'at g (http://h/page.js:3:4)',
    );
    let heard = 0;
    target.addEventListener('x', () => heard++, { capture: true });
    fromProgram = false;
    target.addEventListener('x', () => (heard += 10));
    assert.equal(record.count, 1);
    record.release();
    target.dispatchEvent(new Event('x'));
    assert.equal(heard, 10);
    assert.ok(!Object.hasOwn(target, 'addEventListener'), 'addEventListener as it was');
});
