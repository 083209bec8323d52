// @ts-check
// The sweep panel: levelcheck's sweep of the open level in the workers, a
// mark per serve angle showing its outcome by colour and shape, the
// sweep's notes and errors pointing at their cells, and a mark's serve
// played again in the replay. Each level keeps its last sweep while the
// page is open, shown again (dimmed when the level changed since) when
// the designer comes back to it.

import { pointAt } from './checkPanel.js';
import { levelFileName } from './levelSet.js';
import { byId, drawing, editor, emit, failed, on } from './pageContext.js';
import { startReplay, stopReplay } from './replayView.js';
import { markOf, sweepLines } from './sweepReport.js';

/** @typedef {import('../levelcheck/levelcheck.js').SweepReport} SweepReport */
/** @typedef {import('./drawing.js').Drawing} Drawing */

const marks = byId('sweep-marks');
const notes = byId('sweep-notes');
const sweepButton = /** @type {HTMLButtonElement} */ (byId('sweep-run'));
const sweepProgress = /** @type {HTMLProgressElement} */ (byId('sweep-progress'));
/** @type {AbortController | null} */
let sweepControl = null;
/** @type {SweepReport | null} */
export let lastSweep = null;
/** @type {WeakMap<Drawing, {report: SweepReport, text: string, name: string}>} each level's last sweep */
const swept = new WeakMap();

function clearSweep() {
    sweepControl?.abort();
    stopReplay();
    byId('replay').hidden = true;
    lastSweep = null;
    marks.replaceChildren();
    notes.replaceChildren();
    byId('sweep-output').textContent = '';
    byId('sweep').classList.remove('stale');
    sweepProgress.hidden = true;
    editor.sweepErrors = [];
    editor.sweepStale = false;
}

function markSweepStale() {
    if (marks.childElementCount === 0 && editor.sweepErrors.length === 0) return;
    byId('sweep').classList.add('stale');
    if (!editor.sweepStale) {
        editor.sweepStale = true;
        emit('swept');
    }
}

/** @param {number} total */
function markButtons(total) {
    /** @type {HTMLButtonElement[]} */
    const buttons = [];
    while (buttons.length < total) {
        const button = document.createElement('button');
        button.type = 'button';
        button.className = 'pending';
        const item = document.createElement('li');
        item.append(button);
        marks.append(item);
        buttons.push(button);
    }
    return buttons;
}

/**
 * Shows a finished sweep: its printout, marks, notes and errors.
 * @param {SweepReport} report
 * @param {string} text the level swept
 * @param {string} name
 * @param {HTMLButtonElement[]} buttons
 */
function showSweep(report, text, name, buttons) {
    lastSweep = report;
    byId('sweep-output').textContent = report.output;
    report.runs.forEach((run, i) => buttons[i] && showMark(buttons[i], i, run, text, name));
    const lines = sweepLines(report.output);
    editor.sweepErrors = lines.filter((l) => l.severity === 'error');
    notes.replaceChildren(
        ...lines
            .filter((l) => l.severity === 'note')
            .map((l) => {
                const item = document.createElement('li');
                const button = document.createElement('button');
                button.type = 'button';
                button.textContent = `${name}:${l.line}:${l.column}: note: ${l.text}`;
                button.addEventListener('click', () => pointAt(l.line, l.column));
                item.append(button);
                return item;
            }),
    );
    emit('swept');
}

sweepButton.addEventListener('click', async () => {
    if (sweepControl) {
        sweepControl.abort();
        return;
    }
    clearSweep();
    emit('swept');
    const level = drawing();
    const text = level.text;
    const name = levelFileName(editor.set.current);
    const counts = editor.lastCheck?.counts;
    if (counts && counts.bricks - counts.solid === 0) {
        // Sixty cleared serves of an empty level would read as a perfect score.
        byId('sweep-output').textContent =
            'Nothing to clear: the level has no breakable brick, so there is nothing to sweep.';
        return;
    }
    const control = new AbortController();
    sweepControl = control;
    sweepButton.textContent = 'Stop';
    sweepProgress.hidden = false;
    sweepProgress.value = 0;
    /** @type {HTMLButtonElement[]} */
    let buttons = [];
    try {
        const report = await editor.pool.sweep(text, {
            name,
            quiet: true,
            signal: control.signal,
            onProgress: ({ done, total, index, run }) => {
                sweepProgress.max = total;
                sweepProgress.value = done;
                if (buttons.length < total) buttons = markButtons(total);
                showMark(buttons[index], index, run, text, name);
            },
        });
        swept.set(level, { report, text, name });
        if (drawing() === level) {
            showSweep(report, text, name, buttons.length ? buttons : markButtons(report.runs.length));
            if (level.text !== text) markSweepStale();
        }
        document.body.dataset.swept = String(Date.now());
    } catch (error) {
        if (!(error instanceof DOMException && error.name === 'AbortError')) failed(error);
        else byId('sweep-output').textContent = 'Sweep stopped.';
    } finally {
        if (sweepControl === control) sweepControl = null;
        sweepButton.textContent = 'Sweep';
        sweepProgress.hidden = true;
    }
});

/**
 * @param {HTMLButtonElement} button
 * @param {number} index the serve angle's place in the sweep
 * @param {Record<string, string | number>} run
 * @param {string} text the level swept
 * @param {string} name
 */
function showMark(button, index, run, text, name) {
    const outcome = String(run.outcome);
    const mark = markOf(outcome);
    button.className = mark.kind;
    button.textContent = mark.glyph;
    button.dataset.angle = String(run.angle);
    button.dataset.outcome = outcome;
    const label =
        `serve at ${run.angle} degrees: ${mark.label}` +
        (outcome === 'cleared' ? ` in ${run.frames} frames` : '');
    button.title = `${label}. Click to watch it.`;
    button.setAttribute('aria-label', label);
    button.onclick = () => {
        const box = byId('replay');
        startReplay(box, editor.pool, text, name, index).catch(failed);
        // The replay opens in view: a click that seems to do nothing is worse than a scroll.
        box.scrollIntoView({ block: 'nearest', behavior: 'smooth' });
    };
}

byId('replay-close').addEventListener('click', () => {
    stopReplay();
    byId('replay').hidden = true;
});

on('level-opened', () => {
    clearSweep();
    const kept = swept.get(drawing());
    if (kept) {
        showSweep(kept.report, kept.text, kept.name, markButtons(kept.report.runs.length));
        if (kept.text !== drawing().text || kept.name !== levelFileName(editor.set.current)) markSweepStale();
    } else {
        emit('swept');
    }
});
on('grid-changed', markSweepStale);
on('text-read', markSweepStale);
