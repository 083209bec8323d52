// @ts-check
// The level editor page: starts its panels (each a module owning its part
// of the page, sharing the open set through pageContext.js) and opens the
// work: a level link in the address as a new set, or the set open last.
//
// Where a new panel hooks in: import it here, after the panels it uses;
// it listens with on() for the events of pageContext.js and changes the
// set through editor.set, then emit('grid-changed') or emit('set-changed').

import { checkTimes } from './checkPanel.js';
import './filesPanel.js';
import { addressHasLink, openLink } from './linkPanel.js';
import { editor, showNotice } from './pageContext.js';
import './playPanel.js';
import { openKeptSet } from './setsPanel.js';
import * as sweep from './sweepPanel.js';
import './designerPanel.js';

if (addressHasLink()) {
    if (!(await openLink())) openKeptSet();
} else {
    openKeptSet();
    if (location.hash.length > 1) {
        showNotice('The address ends in something that is not a level link (a level link ends in #q1. and ' +
            'letters): nothing was opened from it.', true);
    }
}

// For the page's tests and benchmark.
Object.assign(window, { quadrellEditor: { get set() { return editor.set; }, get lastSweep() { return sweep.lastSweep; },
    pool: editor.pool, checkTimes } });
