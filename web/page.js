// The page's side of the game: a 2D canvas the game's painter draws on, the
// real controls over it, the game's message boxes as modal dialogs, and the
// one timeout the game's clock asks for. What the scene is, where things go
// and what a key or a click does to the angle all come from the game.
(() => {
  'use strict';

  // The page's own words that the game could not start stay hidden.
  document.documentElement.classList.add('scripted');

  // The program rides in this script, in front of it (the build puts it
  // there): it is compiled first, while the rest of the script runs and the
  // pictures arrive; the loader only instantiates it.
  const fromFile = location.protocol === 'file:';
  const decode = (text) => Uint8Array.fromBase64?.(text) ?? Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
  const compiled = fromFile ? null : new Promise((resolve) => resolve(WebAssembly.compile(decode(zorukanProgram))));

  const form = document.getElementById('form1');
  const canvas = document.getElementById('scene');
  const dialog = document.getElementById('box');
  const ok = document.getElementById('box-ok');
  const gameName = document.title;  // until the game names its window

  const CANNOT_START = {
    file: 'このページはファイルから開いても遊べません。ゲームのフォルダーをウェブサーバーで配信して' +
      '（たとえば tools/web.sh で）、http:// のアドレスを開いてください。',
    load: 'ゲームのプログラムを始められませんでした。ゲームのフォルダーをそのままウェブサーバーで配信して' +
      '（たとえば tools/web.sh で）、WebAssembly が使えるブラウザーで開き直してください。',
    picture: (file) => `ゲームの絵（${file}）を読み込めませんでした。ゲームのフォルダーをそのまま` +
      'ウェブサーバーで配信して（たとえば tools/web.sh で）、ページを開き直してください。',
  };

  let told = null;        // what the game tells once: caption, size, pictures, fonts, controls
  const controls = {};    // control name -> element
  let started = false;    // the first frame is painted
  let ratio = 1;          // device pixels a CSS pixel, as last laid out

  // ---- Calls into the game -------------------------------------------------
  // A message box suspends the procedure that opened it, and the game must
  // not be entered again until it resumes: while `busy`, input is dropped
  // (the modal dialog keeps it away anyway), and the clock's wake-up and a
  // new scale wait.
  let busy = false;
  let stopped = false;
  let wakeWaiting = false;
  let scaleWaiting = 0;
  let timeout = 0;

  function call(name, types = [], args = []) {
    if (busy || stopped) return false;
    busy = true;
    try {
      Module.ccall(name, null, types, args, { async: true }).then(() => {
        busy = false;
        // A new scale first; a wake-up waiting still runs after it.
        if (scaleWaiting) {
          const scale = scaleWaiting;
          scaleWaiting = 0;
          call('zk_scale', ['number'], [scale]);
        } else if (wakeWaiting) {
          wakeWaiting = false;
          call('zk_wake');
        }
      }, fatal);
    } catch (error) {
      fatal(error);
    }
    return true;
  }

  function wake() {
    timeout = 0;
    if (busy) wakeWaiting = true;
    else call('zk_wake');
  }

  // ---- The canvas: what the game's painter draws with ----------------------
  // Every call is in the canvas's own device pixels.
  const g = canvas.getContext('2d', { alpha: false, desynchronized: true });
  const images = [];  // by picture id
  let clipped = false;
  let fillRgb = null;  // the colour fillStyle holds now, while it is known
  let clipArea = { x: 0, y: 0, right: 0, bottom: 0 };
  const colour = (rgb) => `#${rgb.toString(16).padStart(6, '0')}`;
  const gothic = getComputedStyle(document.documentElement).getPropertyValue('--gothic');

  const drawing = {
    clip(x, y, w, h) {
      clipArea = { x, y, right: x + w, bottom: y + h };
      if (clipped) g.restore();
      g.save();
      fillRgb = null;
      g.beginPath();
      g.rect(x, y, w, h);
      g.clip();
      clipped = true;
    },
    fill(x, y, w, h, rgb) {
      // Setting a style parses it; most fills are black, one after another.
      if (rgb !== fillRgb) {
        g.fillStyle = colour(rgb);
        fillRgb = rgb;
      }
      g.fillRect(x, y, w, h);
    },
    picture(id, x, y, w, h) {
      g.drawImage(images[id], x, y, w, h);
    },
    // Narrowed to fit the box's width, never clipped to it. A line wholly
    // outside the clip is not set at all: setting glyphs is the dearest call.
    text(x, y, w, text, font, size, rgb) {
      if (x >= clipArea.right || x + w <= clipArea.x || y - size / 4 >= clipArea.bottom || y + 2 * size <= clipArea.y) return;
      const family = told.fonts[font];
      g.font = `${size}px ${family ? `"${family}", ` : ''}${gothic}`;
      g.textBaseline = 'top';
      g.fillStyle = colour(rgb);
      fillRgb = rgb;
      g.fillText(text, x, y, w);
    },
  };

  // The Japanese gothic is looked up while the program and the pictures
  // arrive, not when the first label is drawn.
  g.font = `12px ${gothic}`;
  g.measureText('発射セット');

  // The pictures are asked for at once (index.html preloads them beside the
  // program), and the game starts only when they are all here.
  const pictureFiles = [...document.querySelectorAll('link[rel=preload][as=image]')].map((link) => link.href);
  const loaded = new Map(pictureFiles.map((href) => {
    const image = new Image();
    const file = decodeURIComponent(new URL(href).pathname.split('/').pop());
    const arrived = new Promise((resolve, reject) => {
      image.onload = () => resolve(image);
      image.onerror = () => reject(new CannotStart(CANNOT_START.picture(file)));
    });
    image.src = href;
    return [file, arrived];
  }));

  // ---- Where everything goes ------------------------------------------------
  // The game at its own size, or at a whole multiple of it where there is
  // room, so that its pictures stay pixel-exact; scaled down to fit a smaller
  // screen. The canvas's backing store is the device pixels it covers.
  // The window's room is read here alone, before anything is written, so
  // that laying the page out again waits for the next frame.
  let roomWidth = 0, roomHeight = 0;
  function scaleForRoom() {
    ratio = window.devicePixelRatio || 1;
    roomWidth = document.documentElement.clientWidth;
    roomHeight = window.innerHeight;
    const room = Math.min(roomWidth / told.width, roomHeight / told.height);
    const zoom = room >= 1 ? Math.floor(room) : room;
    document.documentElement.style.setProperty('--zoom', zoom);
    return zoom * ratio;
  }

  let roomChanged = false;  // before the first frame: laid out once started
  function relayout() {
    if (!started) {
      roomChanged = true;
      return;
    }
    const scale = scaleForRoom();
    if (busy) scaleWaiting = scale;
    else call('zk_scale', ['number'], [scale]);
  }

  // A length of device pixels lands on whole device pixels only where it is
  // a whole number of layout units (1/64 CSS pixel, whole CSS pixels being
  // safest); anything else is resampled. `quantum` device pixels is the
  // shortest such length at this ratio: 5 at 1.25, 7 at 1.75, 2 at 2.
  function quantum() {
    const whole = (length) => Math.abs(length - Math.round(length)) < 1e-6;
    for (const unit of [1, 64]) {
      for (let k = 1; k <= 64; ++k) if (whole((unit * k) / ratio)) return k;
    }
    return 1;
  }

  // The canvas is centred at whole units, and its backing store is the device
  // pixels it covers: a window's size rounded up to whole units, the excess
  // hidden by the window's frame.
  function resize(w, h) {
    const k = quantum();
    const up = (device) => Math.ceil(device / k) * k;
    const down = (device) => Math.floor(device / k) * k;
    const css = (device) => `${device / ratio}px`;
    canvas.width = up(w);
    canvas.height = up(h);
    clipped = false;
    fillRgb = null;
    g.imageSmoothingEnabled = false;
    Object.assign(canvas.style, { width: css(canvas.width), height: css(canvas.height) });
    const room = (length) => Math.floor(length * ratio);
    Object.assign(form.style, {
      width: css(w), height: css(h),
      left: css(down((room(roomWidth) - w) / 2)),
      top: css(down((room(roomHeight) - h) / 2)),
    });
  }

  function place(name, x, y, w, h) {
    const element = controls[name];
    const css = (device) => `${device / ratio}px`;
    Object.assign(element.style, { left: css(x), top: css(y), width: css(w), height: css(h) });
    element.style.setProperty('--side', css(h));
  }

  // ---- Controls --------------------------------------------------------------
  function makeButton(c) {
    const button = document.createElement('button');
    button.type = 'button';
    button.className = 'raised';
    button.addEventListener('click', () => call('zk_click', ['string'], [c.name]));
    button.addEventListener('keydown', (event) => {
      // A held key presses once: its repeats would set and fire.
      if (event.repeat && (event.key === 'Enter' || event.key === ' ')) event.preventDefault();
      // An arrow key turns the barrel a step; the focus stays here.
      const arrow = told.arrows.indexOf(event.key);
      if (arrow >= 0) {
        event.preventDefault();
        call('zk_button_arrow', ['number'], [arrow]);
      }
    });
    return button;
  }

  function makeTextBox(c) {
    const input = document.createElement('input');
    input.type = 'text';
    input.maxLength = c.maxLength;
    input.spellcheck = false;
    input.style.fontSize = `calc(${c.fontPixels}px * var(--zoom))`;
    input.addEventListener('input', () => call('zk_type', ['string'], [input.value]));
    return input;
  }

  // The angle bar, a scroll bar of its own: an arrow at each end turns the
  // barrel a step, a click on the track a page toward the click, both
  // repeating while held; the thumb is dragged by mouse or finger and the
  // angle changes when it is let go, as on the desktop.
  function makeScrollBar(c) {
    const bar = document.createElement('div');
    Object.assign(bar, { className: 'scroll', tabIndex: 0 });
    bar.setAttribute('role', 'slider');
    bar.setAttribute('aria-valuemin', c.min);
    bar.setAttribute('aria-valuemax', c.max);
    const part = (name) => {
      const element = document.createElement('div');
      element.className = name;
      bar.append(element);
      return element;
    };
    const less = part('arrow less raised'), more = part('arrow more raised'), thumb = part('thumb raised');
    let value = c.min;
    const show = (shown) => bar.style.setProperty('--at', (shown - c.min) / (c.max - c.min));
    bar.setValue = (v) => {
      value = v;
      bar.setAttribute('aria-valuenow', v);
      show(v);
    };
    // The value whose thumb would have the point `grab` pixels into it at
    // clientX (by default its middle).
    const valueAt = (clientX, grab = thumb.offsetWidth / 2) => {
      const track = bar.getBoundingClientRect(), side = less.getBoundingClientRect().width;
      const at = (clientX - grab - track.left - side) / (track.width - 3 * side);
      return Math.round(c.min + Math.min(1, Math.max(0, at)) * (c.max - c.min));
    };

    let held = 0;
    const release = () => {
      clearTimeout(held);
      held = 0;
    };
    // The first step at once, then on while held, as a desktop scroll bar does.
    const repeat = (step, delay = 400) => {
      step();
      held = setTimeout(() => repeat(step, 50), delay);
    };
    bar.addEventListener('pointerdown', (event) => {
      if (!event.isPrimary || event.button !== 0 || bar.getAttribute('aria-disabled') === 'true') return;
      event.preventDefault();
      bar.focus();
      bar.setPointerCapture(event.pointerId);
      if (event.target === thumb) {
        const grab = event.clientX - thumb.getBoundingClientRect().left;
        const drag = (move) => show(valueAt(move.clientX, grab));
        // Let go, the angle is set; a cancelled touch puts the thumb back.
        const end = (last) => {
          for (const [type, listener] of [['pointermove', drag], ['pointerup', end], ['pointercancel', end]]) {
            bar.removeEventListener(type, listener);
          }
          if (last.type === 'pointerup') call('zk_scroll', ['number'], [valueAt(last.clientX, grab)]);
          else show(value);
        };
        bar.addEventListener('pointermove', drag);
        bar.addEventListener('pointerup', end);
        bar.addEventListener('pointercancel', end);
        return;
      }
      const toward = valueAt(event.clientX);
      if (event.target === less) repeat(() => call('zk_scroll_arrow', ['number'], [told.arrows.indexOf('ArrowLeft')]));
      else if (event.target === more) repeat(() => call('zk_scroll_arrow', ['number'], [told.arrows.indexOf('ArrowRight')]));
      else repeat(() => call('zk_track', ['number'], [toward]));
    });
    for (const end of ['pointerup', 'pointercancel', 'lostpointercapture']) bar.addEventListener(end, release);
    bar.addEventListener('keydown', (event) => {
      const arrow = told.arrows.indexOf(event.key);
      const page = { PageUp: c.max, PageDown: c.min }[event.key];
      if (arrow >= 0) call('zk_scroll_arrow', ['number'], [arrow]);
      else if (page !== undefined) call('zk_track', ['number'], [page]);
      else return;
      event.preventDefault();
    });
    return bar;
  }

  function makeControls() {
    const make = { button: makeButton, text: makeTextBox, scroll: makeScrollBar };
    for (const c of told.controls) {
      const element = make[c.kind](c);
      element.id = c.name;
      element.setAttribute('aria-label', c.label);
      form.append(element);  // in tab order, so the document order is the tab order
      controls[c.name] = element;
    }
  }

  const setDisabled = (element, off) => {
    if ('disabled' in element) element.disabled = off;
    else {
      element.setAttribute('aria-disabled', off);
      element.tabIndex = off ? -1 : 0;
    }
  };

  // ---- Dialogs -------------------------------------------------------------
  // OK keeps the focus whatever is clicked, so Enter and Space always close
  // the box; a key held from before the box opened does not.
  dialog.addEventListener('mousedown', (event) => {
    if (event.target !== ok) event.preventDefault();
  });
  dialog.addEventListener('keydown', (event) => {
    if (event.key !== 'Enter' && event.key !== ' ') return;
    event.preventDefault();
    if (!event.repeat) dialog.close();
  });

  function openDialog(prompt, title) {
    document.getElementById('box-title').textContent = title;
    document.getElementById('box-prompt').textContent = prompt;
    dialog.showModal();
    ok.focus();
    return new Promise((resolve) => dialog.addEventListener('close', resolve, { once: true }));
  }

  function stop() {
    stopped = true;
    clearTimeout(timeout);
    timeout = 0;
    for (const element of Object.values(controls)) setDisabled(element, true);
  }

  // ---- When it cannot start ------------------------------------------------
  class CannotStart extends Error {}

  function cannotStart(text) {
    stopped = true;
    form.hidden = true;
    const notice = document.getElementById('cannot-start');
    notice.textContent = text;
    notice.hidden = false;
  }

  function fatal(error) {
    console.error(error);
    if (!started) return cannotStart(error instanceof CannotStart ? error.message : CANNOT_START.load);
    if (stopped) return;
    stop();
    if (!dialog.open) openDialog(String(error?.message ?? error), gameName);
  }

  // ---- What the game calls -------------------------------------------------
  const page = {
    call,
    resize,
    place,
    enable(name, on) {
      setDisabled(controls[name], !on);
    },
    value(name, value) {
      controls[name].setValue(value);
    },
    text(name, text) {
      controls[name].value = text;
    },
    // Which control has the focus: its place among the told controls, or -1.
    focused() {
      return told.controls.findIndex((c) => controls[c.name] === document.activeElement);
    },
    focus(name) {
      controls[name].focus();
    },
    halt: stop,
    presented() {},
    arm(delay) {
      clearTimeout(timeout);
      timeout = delay >= 0 && !stopped ? setTimeout(wake, delay) : 0;
    },
    box: openDialog,
    fail(text, title) {
      stop();
      openDialog(text, title);
    },
  };

  // The game starts once it and its pictures are here; the controls take
  // input from its first frame on, the first of them that can be used with
  // the focus, so the keyboard plays at once.
  async function start() {
    told = JSON.parse(Module.ccall('zk_start', 'string', [], []));
    document.title = told.caption;
    const scale = scaleForRoom();
    makeControls();
    const files = await Promise.all(loaded.values());
    told.pictures.forEach((file, id) => {
      images[id] = files[[...loaded.keys()].indexOf(file)];
    });
    if (images.includes(undefined) || images.length !== told.pictures.length) throw new CannotStart(CANNOT_START.load);
    Module.ccall('zk_scale', null, ['number'], [scale]);
    started = true;
    form.inert = false;
    told.controls.map((c) => controls[c.name]).find((element) => element.tabIndex >= 0 && !element.disabled)
      ?.focus({ preventScroll: true });
    if (roomChanged) askLayout();
    // Installing and offline play, once the first frame is on screen: the
    // manifest and the worker fetch files of their own, which must not slow it.
    requestAnimationFrame(() => setTimeout(() => {
      const manifest = Object.assign(document.createElement('link'), { rel: 'manifest', href: 'manifest.webmanifest' });
      document.head.append(manifest);
      // Without the worker the game plays on, but only while online.
      if ('serviceWorker' in navigator) {
        navigator.serviceWorker.register('sw.js').catch((error) => {
          console.warn(`ゾルカン: オフラインでは遊べません。sw.js を登録できませんでした: ${error.message}`);
        });
      }
    }));
  }

  // A new size of the window, a zoom or another screen: a new layout.
  let layoutAsked = false;
  const askLayout = () => {
    if (layoutAsked) return;
    layoutAsked = true;
    requestAnimationFrame(() => {
      layoutAsked = false;
      relayout();
    });
  };
  window.addEventListener('resize', askLayout);
  (function watchRatio() {
    matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener('change', () => {
      askLayout();
      watchRatio();
    }, { once: true });
  })();

  if (fromFile) {
    cannotStart(CANNOT_START.file);
    window.Module = { instantiateWasm: () => ({}) };  // the program is not started from a file
    return;
  }

  window.Module = {
    zorukanPage: page,
    zorukanCanvas: drawing,
    instantiateWasm(imports, receive) {
      compiled.then((module) => WebAssembly.instantiate(module, imports)).then(receive, fatal);
      return {};
    },
    onRuntimeInitialized: () => start().catch(fatal),
    onAbort: fatal,
  };
})();
