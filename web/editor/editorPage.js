// @ts-check
// The level editor page: starts its panels (each a module owning its part
// of the page, sharing the open set through pageContext.js) and opens the
// work: a level link in the address as a new set, or the set open last.
//
// Where a new panel hooks in: a module of its own, imported here after the
// panels it uses, with its buttons in editor.html. It listens with on() for
// the events of pageContext.js and changes the work through editor.set:
// a change on the grid through the open level's drawing (paint, fill, or
// setGrid for a whole grid worked out on a copy, as region tools do), then
// emit('grid-changed'); a level added or opened (set.add, then the level's
// drawing.replace(grid, text) for a text the game's loader read), then
// emit('level-opened') and emit('set-changed'). Every such change is kept
// in the browser and can be undone.

import { checkTimes } from './checkPanel.js';
import './filesPanel.js';
import { addressHasLink, openLink } from './linkPanel.js';
import { editor, showNotice } from './pageContext.js';
import './playPanel.js';
import { openKeptSet } from './setsPanel.js';
import * as sweep from './sweepPanel.js';
import './designerPanel.js';
import { keepSiteOffline } from '../shared/offline.js';

try {
    if (addressHasLink()) {
        if (!(await openLink())) openKeptSet();
    } else {
        openKeptSet();
        if (location.hash.length > 1) {
            showNotice(
                'The address ends in something that is not a level link (a level link ends in #q1. and ' +
                    'letters): nothing was opened from it.',
                true,
            );
        }
    }
} finally {
    // The page is shown once its panels have laid it out (editor.css), so
    // nothing on it moves while it loads.
    document.querySelector('main')?.classList.add('laid-out');
}
// The whole site (editor and game) kept for offline use, once this page has
// loaded and shown its work: its downloads never come before the editor's.
const siteUpdate = keepSiteOffline(new URL('../', import.meta.url));

// For the page's tests and benchmark.
Object.assign(window, {
    quadrellSiteUpdate: siteUpdate,
    quadrellEditor: {
        get set() {
            return editor.set;
        },
        get lastSweep() {
            return sweep.lastSweep;
        },
        pool: editor.pool,
        checkTimes,
    },
});
