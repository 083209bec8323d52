// @ts-check
// Share links: Copy link packs the set into a link; a link in the address
// opens its levels.

import { readLevels } from './filesPanel.js';
import { byId, editor, failed, showNotice } from './pageContext.js';
import { keepAsNewSet } from './setsPanel.js';
import { decodeShare, encodeShare, isShareFragment } from '../shared/shareCodec.js';

function shareLevels() {
    return editor.set.levels.map((level) => ({ title: level.title, text: level.drawing.text }));
}

/** The address without its fragment: a reload opens the kept work, never a link's older copy. */
function forgetFragment() {
    history.replaceState(null, '', location.pathname + location.search);
}

byId('copy-link').addEventListener('click', async () => {
    const encoded = await encodeShare(shareLevels());
    if (!encoded.ok) {
        showNotice(encoded.error, true);
        return;
    }
    // The address keeps no fragment: a reload must open the newest work, not this copy.
    const link = new URL(`editor.html#${encoded.fragment}`, location.href).href;
    // The game's own page takes the same fragment and starts with these levels.
    const playLink = new URL(`index.html#${encoded.fragment}`, location.href).href;
    let copied = true;
    try {
        await navigator.clipboard.writeText(link);
    } catch {
        copied = false;
    }
    showNotice(
        `${copied ? 'The link is copied' : 'The browser did not let the page copy the link: copy it from the box'}` +
            ` (${link.length} characters); the game's page plays it straight away with index.html in place of editor.html.`,
        false,
        link,
    );
    document.body.dataset.link = link;
    document.body.dataset.playLink = playLink;
});

/** Whether the address holds a level link. */
export function addressHasLink() {
    return isShareFragment(location.hash);
}

/**
 * Opens the link in the address as a new set beside the kept ones, and
 * takes the link out of the address. A bad link gives a message; the kept
 * sets are untouched either way. Returns whether a set opened.
 */
export async function openLink() {
    const decoded = await decodeShare(location.hash);
    forgetFragment();
    if (!decoded.ok) {
        showNotice(`${decoded.error}. Your kept sets are untouched.`, true);
        return false;
    }
    const set = await readLevels(decoded.levels);
    const first = decoded.levels.find((l) => l.title)?.title;
    keepAsNewSet(`From a link${first ? `: ${first}` : ''}`, set);
    const count = decoded.levels.length === 1 ? 'a level' : `${decoded.levels.length} levels`;
    showNotice(`Opened ${count} from a link as a new set; your other sets are kept in the list of sets.`);
    return true;
}

window.addEventListener('hashchange', () => {
    if (addressHasLink()) openLink().catch(failed);
});
