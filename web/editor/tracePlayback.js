// @ts-check
// A recorded serve (levelcheck's trace of one sweep run) as a film: the
// scene at any frame, for drawing. Everything in it was played by the game's
// own code in a worker; this only looks frames up, so a film can be wound
// forward and back and shown at any speed.

/** @typedef {import('../levelcheck/levelcheck.js').Trace} Trace */
/**
 * @typedef {object} Frame
 * @property {number} frame   from 1
 * @property {number} ballX
 * @property {number} ballY
 * @property {number} paddleX
 * @property {number} lives
 * @property {number} points
 * @property {Int8Array} kinds  the 300 cells' kinds (0 gone or empty)
 */

export class TracePlayback {
    /** @param {Trace} trace */
    constructor(trace) {
        this.trace = trace;
        this.length = Math.min(trace.frames, Math.floor(trace.ball.length / 2), trace.paddle.length);
        const cells = trace.cells.length / 3;
        /** the cells' kinds before the first frame */
        this.startKinds = new Int8Array(cells);
        /** @type {{x: number, y: number}[]} where each cell is drawn, grid-relative */
        this.places = [];
        for (let n = 0; n < cells; ++n) {
            this.startKinds[n] = trace.cells[3 * n];
            this.places.push({ x: trace.cells[3 * n + 1], y: trace.cells[3 * n + 2] });
        }
        // The film is wound forward change by change; going back starts over.
        this.kinds = this.startKinds.slice();
        this.brickAt = 0;
        this.shownFrame = 0;
    }

    /**
     * The scene after frame f (1 to length).
     * @param {number} f
     * @returns {Frame}
     */
    at(f) {
        const frame = Math.max(1, Math.min(this.length, Math.floor(f)));
        if (frame < this.shownFrame) {
            this.kinds = this.startKinds.slice();
            this.brickAt = 0;
        }
        const changes = this.trace.bricks;
        while (this.brickAt + 2 < changes.length && changes[this.brickAt] <= frame) {
            this.kinds[changes[this.brickAt + 1]] = changes[this.brickAt + 2];
            this.brickAt += 3;
        }
        this.shownFrame = frame;
        return {
            frame,
            ballX: this.trace.ball[2 * (frame - 1)],
            ballY: this.trace.ball[2 * (frame - 1) + 1],
            paddleX: this.trace.paddle[frame - 1],
            lives: lastValue(this.trace.lives, frame),
            points: lastValue(this.trace.points, frame),
            kinds: this.kinds,
        };
    }
}

/**
 * The value of the last (frame, value) pair at or before frame, or 0.
 * @param {number[]} pairs
 * @param {number} frame
 */
function lastValue(pairs, frame) {
    let value = 0;
    for (let i = 0; i + 1 < pairs.length && pairs[i] <= frame; i += 2) value = pairs[i + 1];
    return value;
}
