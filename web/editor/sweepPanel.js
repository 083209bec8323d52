// @ts-check
// The sweep panel: levelcheck's sweep of the open level in the workers, a
// mark per serve angle, and a mark's serve played again in the replay.

import { levelFileName } from './levelSet.js';
import { byId, editor, failed, on } from './pageContext.js';
import { startReplay, stopReplay } from './replayView.js';

const marks = byId('sweep-marks');
const sweepButton = /** @type {HTMLButtonElement} */ (byId('sweep-run'));
const sweepProgress = /** @type {HTMLProgressElement} */ (byId('sweep-progress'));
const textArea = /** @type {HTMLTextAreaElement} */ (byId('level-text'));
/** @type {AbortController | null} */
let sweepControl = null;
/** @type {import('../levelcheck/levelcheck.js').SweepReport | null} */
export let lastSweep = null;

function clearSweep() {
    sweepControl?.abort();
    stopReplay();
    byId('replay').hidden = true;
    lastSweep = null;
    marks.replaceChildren();
    byId('sweep-output').textContent = '';
    sweepProgress.hidden = true;
}

function markSweepStale() {
    byId('sweep').classList.toggle('stale', marks.childElementCount > 0);
}

sweepButton.addEventListener('click', async () => {
    if (sweepControl) {
        sweepControl.abort();
        return;
    }
    clearSweep();
    byId('sweep').classList.remove('stale');
    const text = textArea.value;
    const name = levelFileName(editor.set.current);
    const control = new AbortController();
    sweepControl = control;
    sweepButton.textContent = 'Stop';
    sweepProgress.hidden = false;
    sweepProgress.value = 0;
    /** @type {HTMLButtonElement[]} */
    const buttons = [];
    try {
        const report = await editor.pool.sweep(text, {
            name,
            quiet: true,
            signal: control.signal,
            onProgress: ({ done, total, index, run }) => {
                sweepProgress.max = total;
                sweepProgress.value = done;
                while (buttons.length < total) {
                    const button = document.createElement('button');
                    button.type = 'button';
                    button.className = 'pending';
                    const item = document.createElement('li');
                    item.append(button);
                    marks.append(item);
                    buttons.push(button);
                }
                showMark(buttons[index], index, run, text, name);
            },
        });
        byId('sweep-output').textContent = report.output;
        report.runs.forEach((run, i) => buttons[i] && showMark(buttons[i], i, run, text, name));
        lastSweep = report;
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
    const kind = outcome === 'cleared' ? 'cleared' : outcome === 'loops' || outcome === 'caged' ? 'looping' : 'lost';
    button.className = kind;
    button.dataset.angle = String(run.angle);
    button.dataset.outcome = outcome;
    button.title = `serve at ${run.angle} degrees: ${outcome}` +
        (outcome === 'cleared' ? ` in ${run.frames} frames` : '') + '. Click to watch it.';
    button.onclick = () => startReplay(byId('replay'), editor.pool, text, name, index).catch(failed);
}

byId('replay-close').addEventListener('click', () => {
    stopReplay();
    byId('replay').hidden = true;
});

on('level-opened', clearSweep);
on('grid-changed', markSweepStale);
on('text-read', markSweepStale);
