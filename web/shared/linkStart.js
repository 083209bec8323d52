// @ts-check
// The game's page opened with a level link (index.html#q1...., as the
// editor's "Copy link" makes): the game starts with the link's levels in
// place of the packaged ones. Loaded by index.html before its own script,
// it hands the levels over as window.quadrellLevels, which the page passes
// to the game at the player's first key or click, and shows which levels
// they are by the start button. The link's code loads only when the
// address holds a link: a plain visit loads nothing more. A link that does
// not open leaves the packaged levels and says why, as text.

// The share codec's prefix, checked here so a plain visit need not load the codec.
const LINK_PREFIX = '#q1.';
export {};

if (location.hash.startsWith(LINK_PREFIX)) {
    const { levelFilesOfLink, decodeShare } = await import('./shareCodec.js');
    const linked = await levelFilesOfLink(location.hash);
    if (linked.ok) {
        Object.assign(window, { quadrellLevels: linked.files });
        const decoded = await decodeShare(location.hash);
        const titles = decoded.ok ? decoded.levels.map((l, i) => l.title || `level ${i + 1}`) : [];
        showSign(
            `${linked.files.length === 1 ? 'A level' : `${linked.files.length} levels`} from a link: ` +
                titles.slice(0, 5).join(', ') +
                (titles.length > 5 ? `, and ${titles.length - 5} more` : ''),
            false,
        );
    } else {
        showSign(`${linked.error}. The game plays its own levels.`, true);
    }
} else if (location.hash.length > 1) {
    showSign(
        'The address ends in something that is not a level link (those end in #q1. and letters): ' +
            'the game plays its own levels.',
        true,
    );
}

/**
 * A line by the start button, as text.
 * @param {string} text
 * @param {boolean} isError
 */
function showSign(text, isError) {
    const sign = document.createElement('p');
    sign.id = 'link-notice';
    sign.className = isError ? 'error' : '';
    sign.setAttribute('role', isError ? 'alert' : 'status');
    sign.textContent = text;
    const stage = document.getElementById('stage');
    if (stage) stage.append(sign);
    else document.body.prepend(sign);
}
