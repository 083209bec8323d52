// @ts-check
// The sets kept in this browser: several named sets side by side, the one
// open last remembered. A set is only ever dropped by remove(), which the
// page calls on the designer's confirmed request; opening a link, files or
// a folder adds a set and never writes over another.
//
// Storage (localStorage, or any object with its three methods) holds an
// index of the sets and each set under a key of its own, so saving one
// set writes only that set. The index is read back with the same care as
// a set: a different version of the page, or a person, may have put
// anything there. Another tab of the editor may change it at any time, so
// each change reads it afresh rather than writing back an old copy.

import { LevelSet } from './levelSet.js';

/** @typedef {{getItem(key: string): string | null, setItem(key: string, value: string): void, removeItem(key: string): void}} KeyValueStore */
/** @typedef {{id: string, name: string, updated: number, levels: number}} SetEntry */

export const INDEX_KEY = 'quadrell.editor.sets';
export const OPEN_KEY = 'quadrell.editor.open';
export const SET_KEY_PREFIX = 'quadrell.editor.set.';
// Where the page kept its one set before it kept several.
export const OLD_SET_KEY = 'quadrell.editor.set';
export const MAX_NAME_LENGTH = 60;

/**
 * A set's name as kept: one line, at most MAX_NAME_LENGTH characters, never empty.
 * @param {unknown} name
 */
export function cleanName(name) {
    const plain = typeof name === 'string' ? name.replace(/[\s\p{Cc}]+/gu, ' ').trim() : '';
    return [...plain].slice(0, MAX_NAME_LENGTH).join('').trim() || 'Untitled set';
}

export class SetsStore {
    /**
     * @param {KeyValueStore} storage
     * @param {() => number} [now] the time a save is stamped with
     */
    constructor(storage, now = () => Date.now()) {
        this.storage = storage;
        this.now = now;
        /** @type {SetEntry[]} */
        this.entries = this.readIndex();
        this.adoptOldSet();
    }

    /** @returns {SetEntry[]} */
    readIndex() {
        let data;
        try {
            data = JSON.parse(this.storage.getItem(INDEX_KEY) ?? '[]');
        } catch {
            data = [];
        }
        if (!Array.isArray(data)) return [];
        /** @type {SetEntry[]} */
        const entries = [];
        for (const e of data) {
            if (!e || typeof e.id !== 'string' || !/^[a-z0-9]{1,24}$/.test(e.id)) continue;
            if (entries.some((known) => known.id === e.id)) continue;
            entries.push({
                id: e.id,
                name: cleanName(e.name),
                updated: Number(e.updated) || 0,
                levels: Number.isInteger(e.levels) ? e.levels : 0,
            });
        }
        return entries;
    }

    /** The one set an older page kept becomes a set of the list, and its old key goes. */
    adoptOldSet() {
        const old = this.storage.getItem(OLD_SET_KEY);
        if (old === null) return;
        const read = LevelSet.fromStorage(old);
        if (read.ok) {
            const id = this.add('My levels', read.value);
            if (this.storage.getItem(OPEN_KEY) === null) this.storage.setItem(OPEN_KEY, id);
        }
        // Kept as it was when it cannot be read: a newer page may read it.
        if (read.ok) this.storage.removeItem(OLD_SET_KEY);
    }

    /** The sets, the newest change first. */
    list() {
        this.entries = this.readIndex();
        return [...this.entries].sort((a, b) => b.updated - a.updated);
    }

    /**
     * The id of the set open last, if it is still kept.
     * @returns {string | null}
     */
    openSet() {
        this.entries = this.readIndex();
        const id = this.storage.getItem(OPEN_KEY);
        return this.entries.some((e) => e.id === id) ? id : null;
    }

    /** @param {string} id the set open now, to open on the next visit */
    remember(id) {
        this.storage.setItem(OPEN_KEY, id);
    }

    /**
     * @param {string} id
     * @returns {SetEntry | undefined}
     */
    entry(id) {
        return this.entries.find((e) => e.id === id);
    }

    /**
     * Keeps a new set beside the others; returns its id. Throws when the
     * browser's storage refuses it (full), keeping nothing.
     * @param {string} name
     * @param {LevelSet} set
     */
    add(name, set) {
        this.entries = this.readIndex();
        let id;
        do id = (this.now().toString(36) + Math.floor(Math.random() * 1e6).toString(36)).slice(-16);
        while (this.entry(id));
        this.storage.setItem(SET_KEY_PREFIX + id, set.toStorage());
        this.entries.push({ id, name: cleanName(name), updated: this.now(), levels: set.length });
        this.writeIndex();
        return id;
    }

    /**
     * Writes a kept set anew.
     * @param {string} id
     * @param {LevelSet} set
     * @param {string} [name] its name, should the set have to be listed again
     */
    save(id, set, name = 'Untitled set') {
        this.storage.setItem(SET_KEY_PREFIX + id, set.toStorage());
        this.entries = this.readIndex();
        let entry = this.entry(id);
        // Deleted in another tab while open in this one: the work open here is kept again.
        if (!entry) {
            entry = { id, name: cleanName(name), updated: 0, levels: 0 };
            this.entries.push(entry);
        }
        entry.updated = this.now();
        entry.levels = set.length;
        this.writeIndex();
    }

    /**
     * @param {string} id
     * @param {string} name
     */
    rename(id, name) {
        this.entries = this.readIndex();
        const entry = this.entry(id);
        if (!entry) return;
        entry.name = cleanName(name);
        this.writeIndex();
    }

    /**
     * A kept set, read back.
     * @param {string} id
     * @returns {import('./levelSet.js').Result<LevelSet>}
     */
    load(id) {
        const stored = this.storage.getItem(SET_KEY_PREFIX + id);
        if (stored === null) return { ok: false, error: 'the set is no longer kept in this browser' };
        return LevelSet.fromStorage(stored);
    }

    /**
     * Drops a set for good: only on the designer's confirmed request.
     * @param {string} id
     */
    remove(id) {
        this.entries = this.readIndex().filter((e) => e.id !== id);
        this.storage.removeItem(SET_KEY_PREFIX + id);
        this.writeIndex();
    }

    writeIndex() {
        this.storage.setItem(INDEX_KEY, JSON.stringify(this.entries));
    }
}
