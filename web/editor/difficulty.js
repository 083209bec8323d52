// @ts-check
// The level's difficulty while it is drawn: levelcheck's sweep, run in the
// background once a change has settled, read from its own summary line
// (the desktop's words and figures: the share of serves cleared, the
// median minutes to clear), and placed among the shipped levels by the
// README's measured figures for them ("plays like levels 12-14").
//
// DifficultyWatch decides when to sweep: only after the text stops
// changing, one sweep at a time, a stale one stopped, and nothing at all
// while nothing changes. It takes its sweep and its timer from outside, so
// it runs under node with stand-ins.

/** @typedef {import('./shippedLevels.js').ShippedLevel} ShippedLevel */
/** @typedef {import('../levelcheck/levelcheck.js').SweepReport} SweepReport */
/**
 * A sweep's figures, as its summary line prints them.
 * @typedef {object} Difficulty
 * @property {number} serves
 * @property {number} cleared       serves that cleared the level
 * @property {number} share         per cent cleared, to a tenth as printed
 * @property {number} caged         serves that cage the ball (errors)
 * @property {number | null} medianFrames   null when no serve cleared
 * @property {number | null} medianMinutes  to a tenth, as printed
 */

const SUMMARY =
    /sweep: (\d+) serves, cleared (\d+) \((\d+(?:\.\d+)?)%\)(?:, caged (\d+))?; frames to clear (?:none|min \d+ \([\d.]+ min\), median (\d+) \((\d+(?:\.\d+)?) min\))/;

/**
 * The figures of a sweep's printout (`levelcheck --sweep`), or null when
 * it holds no summary line.
 * @param {string} output
 * @returns {Difficulty | null}
 */
export function readSweepSummary(output) {
    const m = SUMMARY.exec(output);
    if (!m) return null;
    return {
        serves: Number(m[1]),
        cleared: Number(m[2]),
        share: Number(m[3]),
        caged: m[4] ? Number(m[4]) : 0,
        medianFrames: m[5] ? Number(m[5]) : null,
        medianMinutes: m[6] ? Number(m[6]) : null,
    };
}

/**
 * Level numbers as short ranges: [3, 4, 5, 9, 11, 12] gives "3-5, 9 and 11-12".
 * @param {number[]} numbers in rising order
 */
export function numberRanges(numbers) {
    /** @type {string[]} */
    const parts = [];
    for (let i = 0; i < numbers.length;) {
        let j = i;
        while (j + 1 < numbers.length && numbers[j + 1] === numbers[j] + 1) ++j;
        parts.push(j === i ? String(numbers[i]) : `${numbers[i]}-${numbers[j]}`);
        i = j + 1;
    }
    return parts.length > 1
        ? `${parts.slice(0, -1).join(', ')} and ${parts[parts.length - 1]}`
        : parts.join('');
}

// Levels within this many minutes of each other play alike: the README's
// figures are to a tenth of a minute and a sweep's median moves by some
// tenths with small changes.
export const ALIKE_MINUTES = 0.3;

/**
 * Where a level falls on the shipped levels' curve of median minutes to
 * clear: the shipped levels that take about as long, or the nearest one,
 * or past either end of the curve.
 * @param {number} minutes the level's median minutes to clear
 * @param {readonly ShippedLevel[]} shipped
 * @returns {string}
 */
export function playsLike(minutes, shipped) {
    if (shipped.length === 0) return '';
    const sorted = [...shipped].sort((a, b) => a.minutes - b.minutes || a.number - b.number);
    const quickest = sorted[0];
    const longest = sorted[sorted.length - 1];
    const describe = (/** @type {ShippedLevel} */ l) => `${l.number}, ${l.name}, ${l.minutes.toFixed(1)} min`;
    if (minutes < quickest.minutes - ALIKE_MINUTES)
        return `quicker than every shipped level (the quickest: ${describe(quickest)})`;
    if (minutes > longest.minutes + ALIKE_MINUTES)
        return `longer than every shipped level (the longest: ${describe(longest)})`;
    let alike = shipped
        .filter((l) => Math.abs(l.minutes - minutes) <= ALIKE_MINUTES + 1e-9)
        .map((l) => l.number);
    if (alike.length === 0) {
        const nearest = Math.min(...shipped.map((l) => Math.abs(l.minutes - minutes)));
        alike = shipped
            .filter((l) => Math.abs(Math.abs(l.minutes - minutes) - nearest) < 1e-9)
            .map((l) => l.number);
    }
    alike.sort((a, b) => a - b);
    return `plays like ${alike.length === 1 ? 'level' : 'levels'} ${numberRanges(alike)}`;
}

/**
 * A sentence for the page: the figures and the curve.
 * @param {Difficulty} d
 * @param {readonly ShippedLevel[]} shipped
 */
export function describeDifficulty(d, shipped) {
    const cleared = `clears from ${d.cleared} of ${d.serves} serves (${d.share.toFixed(1)}%)`;
    const caged = d.caged > 0 ? `; ${d.caged} ${d.caged === 1 ? 'serve cages' : 'serves cage'} the ball` : '';
    if (d.medianMinutes === null) return `${cleared}${caged}: no serve clears it`;
    const least = shipped.length ? Math.min(...shipped.map((l) => l.clears)) : 0;
    const few =
        shipped.length && d.share < least ? `, fewer than any shipped level (${least}% at the least)` : '';
    const place = playsLike(d.medianMinutes, shipped);
    return `${cleared}${few}${caged}; ${d.medianMinutes.toFixed(1)} min to clear (median)${place ? `: ${place}` : ''}`;
}

/**
 * @typedef {object} WatchState
 * @property {'idle' | 'waiting' | 'measuring' | 'done' | 'nothing' | 'failed'} state
 *   idle: nothing asked yet; waiting: a change is settling; nothing: no breakable brick
 * @property {string} text          the level it is about
 * @property {Difficulty} [difficulty]
 * @property {{done: number, total: number}} [progress]
 * @property {string} [error]
 *
 * @typedef {object} WatchOptions
 * @property {(text: string, signal: AbortSignal, onProgress: (done: number, total: number) => void) => Promise<SweepReport>} sweep
 * @property {(state: WatchState) => void} onState
 * @property {number} [settleMs]  quiet time after a change before sweeping
 * @property {(run: () => void, ms: number) => unknown} [setTimer]
 * @property {(timer: any) => void} [clearTimer]
 */

const CACHE_SIZE = 64;

export class DifficultyWatch {
    /** @param {WatchOptions} options */
    constructor(options) {
        this.sweep = options.sweep;
        this.onState = options.onState;
        this.settleMs = options.settleMs ?? 250;
        this.setTimer = options.setTimer ?? ((run, ms) => setTimeout(run, ms));
        this.clearTimer = options.clearTimer ?? ((timer) => clearTimeout(timer));
        /** @type {WatchState} */
        this.current = { state: 'idle', text: '' };
        /** @type {unknown} */
        this.timer = null;
        /** @type {AbortController | null} */
        this.running = null;
        /** @type {Map<string, Difficulty>} figures of texts swept before (undo comes back to them) */
        this.known = new Map();
        /** while something else sweeps on the same workers, this waits */
        this.heldBack = false;
    }

    /**
     * The level's text after a change (or after opening it), with whether
     * it has a brick to clear; a sweep follows once it holds still.
     * @param {string} text
     * @param {boolean} breakable
     */
    changed(text, breakable) {
        if (text === this.current.text && this.current.state !== 'idle' && this.current.state !== 'failed')
            return;
        this.cancel();
        const known = this.known.get(text);
        if (known) this.show({ state: 'done', text, difficulty: known });
        else if (!breakable) this.show({ state: 'nothing', text });
        else {
            this.show({ state: 'waiting', text });
            this.schedule();
        }
    }

    /**
     * A sweep the designer ran: its figures are taken, none is run for that text.
     * @param {string} text
     * @param {SweepReport} report
     */
    offer(text, report) {
        const difficulty = readSweepSummary(report.output);
        if (!difficulty) return;
        this.remember(text, difficulty);
        if (text === this.current.text) {
            this.cancel();
            this.show({ state: 'done', text, difficulty });
        }
    }

    /**
     * Holds sweeps back while the designer's own sweep uses the workers;
     * released, a waiting level is swept.
     * @param {boolean} held
     */
    hold(held) {
        this.heldBack = held;
        if (held) {
            this.cancel();
            if (this.current.state === 'measuring') this.show({ state: 'waiting', text: this.current.text });
        } else if (this.current.state === 'waiting') this.schedule();
    }

    schedule() {
        if (this.timer !== null) this.clearTimer(this.timer);
        this.timer = null;
        if (this.heldBack) return;
        this.timer = this.setTimer(() => {
            this.timer = null;
            this.start();
        }, this.settleMs);
    }

    async start() {
        const text = this.current.text;
        const control = new AbortController();
        this.running = control;
        this.show({ state: 'measuring', text, progress: { done: 0, total: 0 } });
        try {
            const report = await this.sweep(text, control.signal, (done, total) => {
                if (this.running === control)
                    this.show({ state: 'measuring', text, progress: { done, total } });
            });
            if (this.running !== control) return;
            const difficulty = readSweepSummary(report.output);
            if (!difficulty) throw new Error('the sweep printed no summary');
            this.remember(text, difficulty);
            this.show({ state: 'done', text, difficulty });
        } catch (error) {
            if (this.running !== control) return;
            if (error instanceof Error && error.name === 'AbortError') {
                // Stopped by another sweep on the workers, not by a change: try again once things settle.
                this.show({ state: 'waiting', text });
                this.schedule();
                return;
            }
            this.show({
                state: 'failed',
                text,
                error: error instanceof Error ? error.message : String(error),
            });
        } finally {
            if (this.running === control) this.running = null;
        }
    }

    /** Stops a waiting or running sweep. */
    cancel() {
        if (this.timer !== null) this.clearTimer(this.timer);
        this.timer = null;
        const running = this.running;
        this.running = null;
        running?.abort();
    }

    /**
     * @param {string} text
     * @param {Difficulty} difficulty
     */
    remember(text, difficulty) {
        this.known.delete(text);
        this.known.set(text, difficulty);
        if (this.known.size > CACHE_SIZE)
            this.known.delete(/** @type {string} */ (this.known.keys().next().value));
    }

    /** @param {WatchState} state */
    show(state) {
        this.current = state;
        this.onState(state);
    }
}
