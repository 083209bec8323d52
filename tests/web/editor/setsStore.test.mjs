// The sets kept in the browser: several side by side, none written over by
// another, the old single set adopted, and hostile storage refused.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { LevelSet } from '../../../web/editor/levelSet.js';
import { INDEX_KEY, OLD_SET_KEY, SET_KEY_PREFIX, SetsStore } from '../../../web/editor/setsStore.js';

/** localStorage's three methods over a Map; full past a number of characters. */
function memoryStorage(limit = Infinity) {
    /** @type {Map<string, string>} */
    const map = new Map();
    return {
        map,
        /** @param {string} key */
        getItem: (key) => map.get(key) ?? null,
        /** @param {string} key @param {string} value */
        setItem(key, value) {
            const used = [...map].reduce((n, [k, v]) => n + (k === key ? 0 : v.length), 0);
            if (used + value.length > limit) throw new Error('QuotaExceededError');
            map.set(key, String(value));
        },
        /** @param {string} key */
        removeItem: (key) => map.delete(key),
    };
}

/**
 * The value of a result that must be one.
 * @template T
 * @param {import('../../../web/editor/levelSet.js').Result<T>} result
 */
function value(result) {
    assert.ok(result.ok, result.ok ? '' : result.error);
    return result.value;
}

/** @param {string} text */
function setWith(text) {
    const set = new LevelSet();
    set.level(0).drawing.type(text);
    return set;
}

test('sets are kept side by side: adding one never writes over another, and the open one is remembered', () => {
    const storage = memoryStorage();
    let clock = 1;
    const store = new SetsStore(storage, () => clock++);
    const mine = store.add('Mine', setWith('1 \n'));
    const linked = store.add('From a link', setWith('2 \n'));
    store.remember(linked);
    assert.notEqual(mine, linked);
    assert.equal(value(store.load(mine)).files()[0].text, '1 \n');

    // A reload: a new store on the same storage.
    const again = new SetsStore(storage, () => clock++);
    assert.equal(again.openSet(), linked);
    assert.deepEqual(
        again.list().map((e) => e.name),
        ['From a link', 'Mine'],
    );
    again.save(mine, setWith('3 \n'));
    assert.deepEqual(
        again.list().map((e) => e.name),
        ['Mine', 'From a link'],
    );
    assert.equal(value(again.load(linked)).files()[0].text, '2 \n');
    again.remove(linked);
    assert.equal(again.openSet(), null);
    assert.equal(again.load(linked).ok, false);
    assert.equal(storage.getItem(SET_KEY_PREFIX + linked), null);
});

test('the single set an older page kept is adopted; a broken index or a full storage loses nothing kept', () => {
    const storage = memoryStorage(2000);
    storage.setItem(OLD_SET_KEY, setWith('# \n').toStorage());
    const store = new SetsStore(storage);
    const [adopted] = store.list();
    assert.equal(adopted.name, 'My levels');
    assert.equal(store.openSet(), adopted.id);
    assert.equal(value(store.load(adopted.id)).files()[0].text, '# \n');
    assert.equal(storage.getItem(OLD_SET_KEY), null);

    // Full: the new set is refused whole, the kept one untouched.
    const big = new LevelSet();
    for (let i = 1; i < 10; ++i) big.add();
    assert.throws(() => store.add('Too big', big), /Quota/);
    assert.deepEqual(
        new SetsStore(storage).list().map((e) => e.id),
        [adopted.id],
    );

    for (const index of [
        '{',
        '42',
        JSON.stringify([{ id: '../x' }, { id: 7 }, null, { id: 'ok', name: '\u0000' }]),
    ]) {
        storage.setItem(INDEX_KEY, index);
        const read = new SetsStore(storage).list();
        assert.ok(
            read.every((e) => /^[a-z0-9]+$/.test(e.id) && e.name.length > 0),
            index,
        );
    }
});

test("two tabs on one storage: neither drops the other's sets, and a set deleted in one is kept again by the one still editing it", () => {
    const storage = memoryStorage();
    const tabA = new SetsStore(storage);
    const tabB = new SetsStore(storage);
    const a = tabA.add('A', setWith('1 \n'));
    const b = tabB.add('B', setWith('2 \n'));
    tabA.save(a, setWith('3 \n'));
    assert.deepEqual(
        new SetsStore(storage)
            .list()
            .map((e) => e.name)
            .sort(),
        ['A', 'B'],
    );
    tabA.remove(b);
    tabB.save(b, setWith('# \n'), 'B');
    assert.equal(value(new SetsStore(storage).load(b)).files()[0].text, '# \n');
    assert.deepEqual(
        new SetsStore(storage)
            .list()
            .map((e) => e.name)
            .sort(),
        ['A', 'B'],
    );
});
