// @ts-check
// ESLint's recommended rules over every JavaScript module of the site, the
// benchmarks and the tests (tools/check-js.sh); formatting is Prettier's.
import js from '@eslint/js';
import globals from 'globals';

export default [
    { ignores: ['node_modules/', 'build*/', '**/*.d.ts'] },
    js.configs.recommended,
    {
        files: ['web/**/*.js', 'web/**/*.mjs'],
        languageOptions: { globals: { ...globals.browser, ...globals.worker } },
    },
    {
        files: ['web/serve.mjs', 'bench/**', 'tests/**', 'eslint.config.js'],
        languageOptions: { globals: { ...globals.node, ...globals.browser } },
    },
    {
        // The AudioWorklet's own scope.
        files: ['web/game/mod-worklet.js'],
        languageOptions: { globals: { ...globals.audioWorklet } },
    },
    {
        // An emscripten JS library: its functions run inside the generated
        // module, beside emscripten's own names.
        files: ['web/**/library_*.js'],
        languageOptions: { globals: { mergeInto: 'readonly', LibraryManager: 'readonly' } },
    },
];
