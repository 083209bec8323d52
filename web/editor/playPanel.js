// @ts-check
// Play: the game in this page with the open set's levels.

import { redraw } from './gridPanel.js';
import { byId, editor, failed } from './pageContext.js';
import { playInPage } from './playGame.js';
import { storeNow } from './setsPanel.js';

byId('play').addEventListener('click', async () => {
    storeNow();
    try {
        await playInPage(
            byId('game'),
            /** @type {HTMLCanvasElement} */ (byId('game-canvas')),
            editor.set.files(),
            (line) => console.log(line),
        );
    } catch (error) {
        failed(error);
    }
    redraw();
});
