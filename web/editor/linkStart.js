// @ts-check
// The game's page opened with a level link (index.html#q1...., as the
// editor's "Copy link" makes): the game starts with the link's levels in
// place of the packaged ones. Loaded by index.html before its own script,
// it hands the levels over as window.quadrellLevels, which the page passes
// to the game at the player's first key or click. A link that does not
// open leaves the packaged levels and says why, as text.
import { isShareFragment, levelFilesOfLink } from './shareCodec.js';

if (isShareFragment(location.hash)) {
    const linked = await levelFilesOfLink(location.hash);
    if (linked.ok) {
        Object.assign(window, { quadrellLevels: linked.files });
    } else {
        const notice = document.createElement('p');
        notice.id = 'link-notice';
        notice.setAttribute('role', 'alert');
        notice.textContent = `${linked.error}. The game plays its own levels.`;
        document.body.prepend(notice);
    }
}
