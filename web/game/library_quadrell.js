// The game's own replacements for parts of emscripten's SDL 1.2 emulation
// (library_sdl.js), linked with --js-library after it, so that a function
// here takes the place of the emulation's function of the same name.
//
// What each one fixes, and why:
// - the picture: the desktop's screen is RGB565, the emulated one keeps 8
//   bits a channel; pictures are quantised when they are converted to the
//   display format, and at every flip the parts of the screen that may
//   hold other colours since (text, blended or unconverted pictures);
// - text: a string drawn every frame (a score, the menu) is rendered once
//   and its surface kept while the game asks for it again;
// - colour keys, which the emulation ignores;
// - SDL_FreeRW, which in the emulation also drops the next free slot;
// - the mixer: samples decoded here from their WAV bytes and played through
//   Web Audio at the desktop's volumes (chunk volume times channel volume);
//   music goes to the page's MOD player (Module.quadrellMusic), which may
//   arrive after the game has started;
// - fonts: opened only when their file is there, text drawn on the font's
//   own baseline in a surface as tall as SDL_ttf's.
//
// The pure work (the 565 table, WAV parsing, font metrics) lives in the
// page's ES modules and arrives on Module.quadrell (see runner.js), where
// node tests it.

mergeInto(LibraryManager.library, {
  $QD__deps: ['$SDL'],
  $QD: {
    // How late a sleep's timer fires, in ms (see SDL_Delay).
    timerLateness: 1,
    // The per-run bridge the runner fills in before main.
    bridge: function() { return Module['quadrell']; },
    // Quantises a surface's whole picture, or the given part of it; answers
    // whether every pixel there is fully opaque or fully transparent, so
    // that a copy of it onto a 565 screen stays 565.
    quantiseCanvas: function(surfData, x, y, w, h) {
      var ctx = surfData.ctx;
      if (w === undefined) { x = 0; y = 0; w = surfData.width; h = surfData.height; }
      if (!w || !h) return true;
      var image = ctx.getImageData(x, y, w, h);
      QD.bridge().quantise565(image.data);
      ctx.putImageData(image, x, y);
      var data = image.data;
      for (var i = 3; i < data.length; i += 4) {
        if (data[i] !== 0 && data[i] !== 255) return false;
      }
      return true;
    },
    // Parts of the screen drawn since the last flip from sources whose
    // colours a 565 screen might not show as they are: {x, y, w, h}.
    dirty: [],
    // A blit's or fill's effect on the 565 picture: a source that is not
    // known to be exact makes its target rectangle dirty (on the screen) or
    // its whole target inexact (any other surface).
    noteDrawn: function(dst, exact, x, y, w, h) {
      if (exact) return;
      if (dst !== SDL.screen) {
        var dstData = SDL.surfaces[dst];
        if (dstData) dstData.qdExact = false;
        return;
      }
      var screen = SDL.surfaces[dst];
      var x0 = Math.max(0, x), y0 = Math.max(0, y);
      var x1 = Math.min(screen.width, x + w), y1 = Math.min(screen.height, y + h);
      if (x1 > x0 && y1 > y0) QD.dirty.push({ x: x0, y: y0, w: x1 - x0, h: y1 - y0 });
    },
    // Quantises what noteDrawn collected; many small parts as one.
    quantiseDirty: function(surfData) {
      var parts = QD.dirty;
      if (parts.length > 16) {
        var x0 = Infinity, y0 = Infinity, x1 = 0, y1 = 0;
        parts.forEach(function(r) {
          x0 = Math.min(x0, r.x); y0 = Math.min(y0, r.y);
          x1 = Math.max(x1, r.x + r.w); y1 = Math.max(y1, r.y + r.h);
        });
        parts = [{ x: x0, y: y0, w: x1 - x0, h: y1 - y0 }];
      }
      parts.forEach(function(r) { QD.quantiseCanvas(surfData, r.x, r.y, r.w, r.h); });
      QD.dirty = [];
    },
    // Rendered text kept for reuse: key (font, colour, text) -> entry
    // {surf, inUse}, oldest first; and surface -> entry. (Made at first use:
    // the library's objects are written out as literals.)
    texts: function() {
      return QD.textCache || (QD.textCache = { byKey: new Map(), bySurface: new Map() });
    },
    textCacheSize: 64,
    // Frees the oldest kept texts the game no longer holds, down to the
    // cache's size.
    trimTextCache: function() {
      var texts = QD.texts();
      var excess = texts.byKey.size - QD.textCacheSize;
      texts.byKey.forEach(function(entry, key) {
        if (excess <= 0 || entry.inUse) return;
        texts.byKey.delete(key);
        texts.bySurface.delete(entry.surf);
        SDL.freeSurface(entry.surf);
        excess--;
      });
    },
    // Makes every pixel of the given 8-bit RGB colour transparent.
    applyColourKey: function(surfData, key) {
      var ctx = surfData.ctx;
      var image = ctx.getImageData(0, 0, surfData.width, surfData.height);
      QD.bridge().clearColourKey(image.data, key & 0xff, (key >> 8) & 0xff, (key >> 16) & 0xff);
      ctx.putImageData(image, 0, 0);
    },
    chunks: [],
    // Channel volumes (0..128) and what each channel plays now.
    channelVolume: [],
    channelSource: [],
    music: { loaded: {}, next: 1, playing: false, fadeEnd: 0, volume: 128 },
    now: function() { return performance.now(); },
    // What SDL_GetError answers next.
    setError: function(text) {
      if (SDL.errorMessage) _free(SDL.errorMessage);
      SDL.errorMessage = allocateUTF8(text);
    },
    channelGain: function(slot) {
      var entry = QD.channelSource[slot];
      if (entry && entry.gain) {
        entry.gain.gain.value = (entry.chunk.volume / 128) * (QD.channelVolume[slot] / 128);
      }
    }
  },

  // The emulation's own, but for the palette flag: with it, the emulation
  // makes an 8-bit screen without a palette, on which nothing shows.
  SDL_SetVideoMode__deps: ['$GL', '$Browser'],
  SDL_SetVideoMode: function(width, height, depth, flags) {
    flags &= ~0x00200000; /* SDL_HWPALETTE */
    ['touchstart', 'touchend', 'touchmove', 'mousedown', 'mouseup', 'mousemove'].forEach(function(event) {
      Module['canvas'].addEventListener(event, SDL.receiveEvent, true);
    });
    SDL.settingVideoMode = true;
    Browser.setCanvasSize(width, height);
    SDL.settingVideoMode = false;
    if (SDL.screen) SDL.freeSurface(SDL.screen);
    SDL.screen = SDL.makeSurface(width, height, flags, true, 'screen');
    return SDL.screen;
  },

  // The frame loop sleeps out each frame's rest in SDL_Delay. A browser
  // timer fires late, often by a millisecond or more, and every late wake
  // makes a long frame (the loop does not make up an overrun). So the timer
  // is set early by the lateness seen so far (a running mean), and the rest
  // of the sleep is waited out with message events, which the browser runs
  // without a timer's delay. The wait stays a yield to the browser.
  SDL_Delay__deps: ['$QD', '$safeSetTimeout', '$callUserCallback', '$runtimeKeepalivePush', '$runtimeKeepalivePop'],
  SDL_Delay: function(ms) {
    Asyncify.handleSleep(function(wakeUp) {
      // The game has read its events since its last sleep: the page's key
      // source paces quick taps by it (keys.js). Here, not above, as the
      // wake-up calls SDL_Delay again to rewind.
      var bridge = QD.bridge();
      if (bridge.onSleep) bridge.onSleep();
      var deadline = performance.now() + ms;
      var early = Math.min(ms, QD.timerLateness);
      var channel = QD.sleepChannel || (QD.sleepChannel = new MessageChannel());
      function waitOut() {
        if (performance.now() >= deadline) {
          channel.port1.onmessage = null;
          runtimeKeepalivePop();
          callUserCallback(wakeUp);
          return;
        }
        channel.port1.onmessage = waitOut;
        channel.port2.postMessage(0);
      }
      var timerDue = deadline - early;
      safeSetTimeout(function() {
        var late = Math.max(0, performance.now() - timerDue);
        QD.timerLateness += (Math.min(late, 4) - QD.timerLateness) / 8;
        runtimeKeepalivePush();
        waitOut();
      }, ms - early);
    });
  },

  SDL_Flip__deps: ['$QD'],
  SDL_Flip: function(surf) {
    var surfData = SDL.surfaces[surf];
    if (surfData) {
      if (surf === SDL.screen) QD.quantiseDirty(surfData);
      else QD.quantiseCanvas(surfData);
    }
    var bridge = QD.bridge();
    if (bridge.onFlip) bridge.onFlip();
    return 0;
  },

  SDL_DisplayFormat__deps: ['$QD', 'SDL_ConvertSurface'],
  SDL_DisplayFormat: function(surf) {
    var copy = _SDL_ConvertSurface(surf);
    if (copy) SDL.surfaces[copy].qdExact = QD.quantiseCanvas(SDL.surfaces[copy]);
    return copy;
  },

  // The emulation's blit, noting what it may leave unquantised.
  SDL_UpperBlit__deps: ['$QD'],
  SDL_UpperBlit: function(src, srcrect, dst, dstrect) {
    var srcData = SDL.surfaces[src];
    if (!srcData || !SDL.surfaces[dst]) return -1;
    var sr = srcrect ? SDL.loadRect(srcrect) : { x: 0, y: 0, w: srcData.width, h: srcData.height };
    var at = dstrect ? SDL.loadRect(dstrect) : { x: 0, y: 0 };
    var result = SDL.blitSurface(src, srcrect, dst, dstrect, false);
    QD.noteDrawn(dst, srcData.qdExact && srcData.alpha === 255, at.x, at.y, sr.w, sr.h);
    return result;
  },

  // The emulation's fill, noting a colour the 565 screen does not show as
  // it is.
  SDL_FillRect__deps: ['$QD'],
  SDL_FillRect: function(surf, rect, color) {
    var surfData = SDL.surfaces[surf];
    if (!surfData) return -1;
    var r = rect ? SDL.loadRect(rect) : { x: 0, y: 0, w: surfData.width, h: surfData.height };
    if (surfData.clipRect) {
      r = SDL.intersectionOfRects(surfData.clipRect, r);
      if (rect) SDL.updateRect(rect, r);
    }
    var ctx = surfData.ctx;
    var oldStyle = ctx.fillStyle;
    ctx.fillStyle = SDL.translateColorToCSSRGBA(color);
    ctx.fillRect(r.x, r.y, r.w, r.h);
    ctx.fillStyle = oldStyle;
    var red = color & 0xff, green = (color >> 8) & 0xff, blue = (color >> 16) & 0xff;
    var bridge = QD.bridge();
    var exact = (color >>> 24) === 255 && bridge.through5[red] === red && bridge.through6[green] === green &&
      bridge.through5[blue] === blue;
    QD.noteDrawn(surf, exact, r.x, r.y, r.w, r.h);
    return 0;
  },

  // A kept text surface is only marked free; any other is freed.
  SDL_FreeSurface__deps: ['$QD'],
  SDL_FreeSurface: function(surf) {
    if (!surf) return;
    var entry = QD.texts().bySurface.get(surf);
    if (entry) {
      entry.inUse = false;
      QD.trimTextCache();
      return;
    }
    SDL.freeSurface(surf);
  },

  SDL_SetColorKey__deps: ['$QD'],
  SDL_SetColorKey: function(surf, flag, key) {
    var surfData = SDL.surfaces[surf];
    if (!surfData) return -1;
    if (flag & 0x00001000 /* SDL_SRCCOLORKEY */) QD.applyColourKey(surfData, key);
    return 0;
  },

  SDL_FreeRW: function(rwopsID) {
    SDL.rwops[rwopsID] = null;
  },

  Mix_OpenAudio__deps: ['$QD'],
  Mix_OpenAudio: function(frequency, format, channels, chunksize) {
    for (var i = 0; i < 8; i++) { QD.channelVolume[i] = 128; QD.channelSource[i] = null; }
    return 0;
  },
  Mix_CloseAudio__deps: ['$QD', 'Mix_HaltChannel', 'Mix_HaltMusic'],
  Mix_CloseAudio: function() {
    _Mix_HaltChannel(-1);
    _Mix_HaltMusic();
  },
  Mix_AllocateChannels: function(num) { return 8; },

  Mix_LoadWAV_RW__deps: ['$QD'],
  Mix_LoadWAV_RW: function(rwopsID, freesrc) {
    var rwops = SDL.rwops[rwopsID];
    if (!rwops || rwops.filename === undefined) return 0;
    var bytes;
    try {
      bytes = FS.readFile(rwops.filename);
    } catch (e) {
      QD.setError("Couldn't open " + rwops.filename);
      return 0;
    }
    var sound = QD.bridge().parseWav(bytes);
    if (sound.error) {
      QD.setError(sound.error);
      return 0;
    }
    QD.chunks.push({ sound: sound, volume: 128, buffer: null });
    return QD.chunks.length;  // 0 stays the failure
  },
  Mix_FreeChunk__deps: ['$QD'],
  Mix_FreeChunk: function(id) { if (id) QD.chunks[id - 1] = null; },
  Mix_VolumeChunk__deps: ['$QD'],
  Mix_VolumeChunk: function(id, volume) {
    var chunk = id ? QD.chunks[id - 1] : null;
    if (!chunk) return -1;
    var old = chunk.volume;
    if (volume >= 0) chunk.volume = Math.min(volume, 128);
    for (var i = 0; i < QD.channelSource.length; i++) {
      if (QD.channelSource[i] && QD.channelSource[i].chunk === chunk) QD.channelGain(i);
    }
    return old;
  },
  Mix_Volume__deps: ['$QD'],
  Mix_Volume: function(channel, volume) {
    if (channel == -1) {
      var sum = 0;
      for (var i = 0; i < QD.channelVolume.length; i++) {
        sum += QD.channelVolume[i];
        if (volume >= 0) QD.channelVolume[i] = Math.min(volume, 128);
        QD.channelGain(i);
      }
      return Math.round(sum / QD.channelVolume.length);
    }
    var old = QD.channelVolume[channel];
    if (volume >= 0) QD.channelVolume[channel] = Math.min(volume, 128);
    QD.channelGain(channel);
    return old;
  },
  Mix_PlayChannel__deps: ['$QD'],
  Mix_PlayChannel: function(channel, id, loops) {
    var chunk = id ? QD.chunks[id - 1] : null;
    if (!chunk) return -1;
    if (channel == -1) {
      for (var i = 0; i < QD.channelSource.length; i++) {
        if (!QD.channelSource[i]) { channel = i; break; }
      }
      if (channel == -1) { QD.setError('No free channels available'); return -1; }
    }
    var audio = QD.bridge().audioContext;
    var slot = channel;
    // Volumes apply while the sample plays, as SDL_mixer's do: the game
    // sets the chunk's volume just after starting it.
    var entry = { stop: function() {}, chunk: chunk };
    QD.channelSource[slot] = entry;
    if (audio) {
      if (!chunk.buffer) chunk.buffer = QD.bridge().makeAudioBuffer(audio, chunk.sound);
      var source = audio.createBufferSource();
      source.buffer = chunk.buffer;
      source.loop = loops != 0;
      var gain = audio.createGain();
      entry.gain = gain;
      source.connect(gain);
      gain.connect(audio.destination);
      source.onended = function() { if (QD.channelSource[slot] === entry) QD.channelSource[slot] = null; };
      entry.stop = function() { try { source.stop(); } catch (e) {} };
      QD.channelGain(slot);
      source.start();
    } else {
      // No sound output: the channel is busy for the sample's length.
      var ms = chunk.sound.frames / chunk.sound.rate * 1000;
      setTimeout(function() { if (QD.channelSource[slot] === entry) QD.channelSource[slot] = null; }, ms);
    }
    return channel;
  },
  Mix_PlayChannelTimed__deps: ['Mix_PlayChannel'],
  Mix_PlayChannelTimed: function(channel, id, loops, ticks) {
    return _Mix_PlayChannel(channel, id, loops);
  },
  Mix_HaltChannel__deps: ['$QD'],
  Mix_HaltChannel: function(channel) {
    for (var i = 0; i < QD.channelSource.length; i++) {
      if ((channel == -1 || channel == i) && QD.channelSource[i]) {
        QD.channelSource[i].stop();
        QD.channelSource[i] = null;
      }
    }
    return 0;
  },
  Mix_Playing__deps: ['$QD'],
  Mix_Playing: function(channel) {
    var count = 0;
    for (var i = 0; i < QD.channelSource.length; i++) {
      if ((channel == -1 || channel == i) && QD.channelSource[i]) count++;
    }
    return count;
  },

  // Music: the MOD file's bytes go to the page's player. Whether music
  // plays is kept here, on the game's own clock, so that the game sees
  // the same answers as on the desktop even before the player has loaded.
  Mix_LoadMUS__deps: ['$QD'],
  Mix_LoadMUS: function(filename) {
    var path = UTF8ToString(filename);
    var bytes;
    try {
      bytes = FS.readFile(path);
    } catch (e) {
      QD.setError("Couldn't open '" + path + "'");
      return 0;
    }
    var error = QD.bridge().checkMod(bytes);
    if (error) {
      QD.setError(error);
      return 0;
    }
    var id = QD.music.next++;
    QD.music.loaded[id] = bytes;
    return id;
  },
  Mix_FreeMusic__deps: ['$QD'],
  Mix_FreeMusic: function(id) { delete QD.music.loaded[id]; },
  Mix_FadeInMusic__deps: ['$QD'],
  Mix_FadeInMusic: function(id, loops, ms) {
    var bytes = QD.music.loaded[id];
    if (!bytes) { QD.setError('Music is NULL'); return -1; }
    QD.music.playing = true;
    QD.music.fadeEnd = 0;
    var bridge = QD.bridge();
    if (bridge.music) bridge.music.play(bytes, { loop: loops != 0, fadeInMs: ms, volume: QD.music.volume });
    return 0;
  },
  Mix_PlayMusic__deps: ['Mix_FadeInMusic'],
  Mix_PlayMusic: function(id, loops) { return _Mix_FadeInMusic(id, loops, 0); },
  Mix_FadeOutMusic__deps: ['$QD'],
  Mix_FadeOutMusic: function(ms) {
    if (!QD.music.playing) return 0;
    QD.music.fadeEnd = QD.now() + ms;
    var bridge = QD.bridge();
    if (bridge.music) bridge.music.fadeOut(ms);
    return 1;
  },
  Mix_HaltMusic__deps: ['$QD'],
  Mix_HaltMusic: function() {
    QD.music.playing = false;
    QD.music.fadeEnd = 0;
    var bridge = QD.bridge();
    if (bridge && bridge.music) bridge.music.stop();
    return 0;
  },
  Mix_PlayingMusic__deps: ['$QD'],
  Mix_PlayingMusic: function() {
    if (QD.music.playing && QD.music.fadeEnd && QD.now() >= QD.music.fadeEnd) {
      QD.music.playing = false;
      QD.music.fadeEnd = 0;
    }
    return QD.music.playing ? 1 : 0;
  },
  Mix_VolumeMusic__deps: ['$QD'],
  Mix_VolumeMusic: function(volume) {
    var old = QD.music.volume;
    if (volume >= 0) {
      QD.music.volume = Math.min(volume, 128);
      var bridge = QD.bridge();
      if (bridge.music) bridge.music.setVolume(QD.music.volume);
    }
    return old;
  },

  TTF_OpenFont__deps: ['$QD'],
  TTF_OpenFont: function(filename, size) {
    var path = PATH.normalize(UTF8ToString(filename));
    var bytes;
    try {
      bytes = FS.readFile(path);
    } catch (e) {
      QD.setError("Couldn't open " + path);
      return 0;
    }
    var metrics = QD.bridge().fontMetrics(bytes, size);
    if (metrics.error) {
      QD.setError(metrics.error);
      return 0;
    }
    SDL.fonts.push({ name: path, size: size, metrics: metrics });
    return SDL.fonts.length;  // 0 stays the failure
  },
  TTF_CloseFont: function(font) { if (font) SDL.fonts[font - 1] = null; },

  // SDL_ttf's surface: as wide as the text's advance, as tall as the
  // font's height, the baseline at its ascent.
  TTF_RenderText_Blended__deps: ['$QD'],
  TTF_RenderText_Blended: function(font, text, color) {
    var fontData = font ? SDL.fonts[font - 1] : null;
    text = UTF8ToString(text);
    if (!fontData || !text) { QD.setError('Text has zero width'); return 0; }
    var css = SDL.loadColorToCSSRGB(color);
    var key = font + ' ' + css + ' ' + text;
    var texts = QD.texts();
    var kept = texts.byKey.get(key);
    if (kept && !kept.inUse) {
      kept.inUse = true;
      // Newest last: the trim frees from the front.
      texts.byKey.delete(key);
      texts.byKey.set(key, kept);
      return kept.surf;
    }
    var m = fontData.metrics;
    var ctx = SDL.ttfContext;
    ctx.font = fontData.size + 'px "' + fontData.name + '"';
    var w = Math.max(1, Math.ceil(ctx.measureText(text).width));
    var surf = SDL.makeSurface(w, m.height, 0, false, 'text:' + text);
    var surfData = SDL.surfaces[surf];
    surfData.ctx.save();
    surfData.ctx.fillStyle = css;
    surfData.ctx.font = ctx.font;
    surfData.ctx.textBaseline = 'alphabetic';
    surfData.ctx.fillText(text, 0, m.ascent);
    surfData.ctx.restore();
    if (!kept) {
      var entry = { surf: surf, inUse: true };
      texts.byKey.set(key, entry);
      texts.bySurface.set(surf, entry);
      QD.trimTextCache();
    }
    return surf;
  },
  TTF_RenderText_Solid__deps: ['TTF_RenderText_Blended'],
  TTF_RenderText_Solid: function(font, text, color) { return _TTF_RenderText_Blended(font, text, color); }
});
