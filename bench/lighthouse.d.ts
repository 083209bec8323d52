// Lighthouse and its launcher come from bench's own package.json (npm ci
// --prefix bench), which the type check does not install: without them
// their imports are taken as they are.
declare module 'lighthouse';
declare module 'chrome-launcher';
declare module 'lighthouse/core/config/desktop-config.js';
