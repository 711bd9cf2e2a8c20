// The page's side of the game: a 2D canvas the game's painter draws on, its
// controls included, the game's message boxes as modal dialogs, and the
// timeouts the game asks for. The page forwards every key, pointer and focus
// change to the game, whose rules answer them, and keeps elements of its own
// only where they serve the player: the angle box's text entry, and
// invisible ones that assistive technology reads and the focus rests on.
(() => {
  'use strict';

  // The page's own words that the game could not start stay hidden.
  document.documentElement.classList.add('scripted');

  // The program rides in this script, in front of it (the build puts it
  // there), and is compiled and started within it (see `instantiateWasm`).
  const fromFile = location.protocol === 'file:';
  const decode = (text) => Uint8Array.fromBase64?.(text) ?? Uint8Array.from(atob(text), (c) => c.charCodeAt(0));

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

  class CannotStart extends Error {}

  let told = null;        // what the game tells once: caption, size, pictures, fonts, keys, controls
  const elements = {};    // control name -> its element
  let gauge = null;       // the power gauge's element among them
  let textBox = null;     // the angle box's text entry
  let textPixels = 0;     // its text's height in scene pixels
  let started = false;    // the first frame is painted

  // ---- Calls into the game -------------------------------------------------
  // A message box suspends the procedure that opened it, and the game must
  // not be entered again until it resumes: while `busy`, input is dropped
  // (the modal dialog keeps most of it away) and the clock's wake-up waits.
  // Placing the window is the exception: it touches no game state.
  let busy = false;
  let stopped = false;    // the game has stopped: it takes no input
  let crashed = false;    // the program itself failed: nothing enters it
  let wakeWaiting = false;

  // A call that may open a message box, and so return before it is done:
  // the procedure is then suspended until the box closes. It goes straight
  // to the program's export, given itself (its arguments are numbers), without
  // the general wrapper's work, or looking it up by name, on each of the
  // clock's forty ticks a second.
  function call(exported, ...args) {
    if (busy || stopped) return false;
    busy = true;
    try {
      exported(...args);
    } catch (error) {
      fatal(error);
      return true;
    }
    if (Module.Asyncify.currData) {
      Module.Asyncify.whenDone().then(resumed, fatal);
    } else {
      busy = false;
      showFocus();
    }
    return true;
  }

  // Only while a box held the procedure could the page hear what the game
  // could not: that, and a wake-up that waited, once it is done.
  function resumed() {
    busy = false;
    catchUp();
    focusMayHaveMoved = true;  // the box had it
    showFocus();
    if (wakeWaiting) {
      wakeWaiting = false;
      call(Module._zk_wake);
    }
  }

  const canEnter = () => !busy && !stopped;

  // Any other call returns at once, with the game's answer; undefined when
  // the game cannot be entered now.
  function enter(name, types, args) {
    if (!canEnter()) return undefined;
    try {
      return Module.ccall(name, 'number', types, args);
    } catch (error) {
      fatal(error);
      return undefined;
    } finally {
      showFocus();
    }
  }
  const numbers = (name, ...args) => enter(name, args.map(() => 'number'), args);

  function wake() {
    if (busy) wakeWaiting = true;
    else call(Module._zk_wake);
  }

  // The game's wake-up: once at a deadline, then on its timer's cadence
  // for as long as each tick asks for the next deadline on it (see `arm`).
  let timeout = 0;
  let beat = null;  // { id, at, period }: the repeating wake-up and the deadline it keeps to now
  const BEAT_LATE_MS = 2;  // a timeout rounded up to whole milliseconds wakes up to about this late
  const onCadence = (span, period) => Math.abs(span - Math.round(span / period) * period) < 1e-3;

  function disarm() {
    clearTimeout(timeout);
    clearInterval(beat?.id);
    timeout = 0;
    beat = null;
  }

  // ---- The canvas: what the game's painter draws with ----------------------
  // Every call is in the canvas's own device pixels.
  const g = canvas.getContext('2d', { alpha: false, desynchronized: true });
  const images = [];  // by picture id, as they arrive (decoded apart where the browser can)
  const awaited = new Set();  // ids drawn before they arrived
  let clipped = false;
  let fillRgb = null;  // the colour fillStyle holds now, while it is known
  const colour = (rgb) => `#${rgb.toString(16).padStart(6, '0')}`;
  // The page's Japanese gothic (page.css, in the page), read at the first
  // text: reading it sooner would work out the page's style twice before the
  // first frame.
  let gothic = null;

  const drawing = {
    // The game cuts its fills to its clip itself: the canvas is clipped only
    // for pictures and text, and unclipped when the game's clip moves on.
    clip(x, y, w, h) {
      drawing.unclip();
      g.save();
      g.beginPath();
      g.rect(x, y, w, h);
      g.clip();
      clipped = true;
    },
    unclip() {
      if (!clipped) return;
      g.restore();
      fillRgb = null;
      clipped = false;
    },
    fill(x, y, w, h, rgb) {
      // Setting a style parses it; most fills are black, one after another.
      if (rgb !== fillRgb) {
        g.fillStyle = colour(rgb);
        fillRgb = rgb;
      }
      g.fillRect(x, y, w, h);
    },
    // A picture still on its way is drawn once it arrives.
    picture(id, x, y, w, h) {
      if (images[id]) g.drawImage(images[id], x, y, w, h);
      else awaited.add(id);
    },
    // Narrowed to fit the box's width, never clipped to it.
    text(x, y, w, text, font, size, rgb) {
      gothic ??= getComputedStyle(document.documentElement).getPropertyValue('--gothic');
      const family = told.fonts[font];
      g.font = `${size}px ${family ? `"${family}", ` : ''}${gothic}`;
      g.textBaseline = 'top';
      g.fillStyle = colour(rgb);
      fillRgb = rgb;
      g.fillText(text, x, y, w);
    },
  };

  // The pictures are the page's own, hidden (index.html): the parser asks for
  // them beside this script, and they are mostly in by the time it runs. Each
  // is decoded as soon as it is in, off the page's thread while the program
  // compiles; drawn from its element, it would be decoded in the first
  // frame's own paint (and so it is where the browser cannot decode it
  // apart). The game starts when they all are.
  const decodedApart = async (image) => {
    try {
      return await createImageBitmap(image);
    } catch {
      return image;
    }
  };
  const loaded = new Map([...document.querySelectorAll('#pictures img')].map((image) => {
    const file = decodeURIComponent(new URL(image.src).pathname.split('/').pop());
    const failed = () => new CannotStart(CANNOT_START.picture(file));
    const arrived = image.complete ? (image.naturalWidth ? Promise.resolve(image) : Promise.reject(failed()))
      : new Promise((resolve, reject) => {
        image.onload = () => resolve(image);
        image.onerror = () => reject(failed());
      });
    const decoded = arrived.then(decodedApart);
    decoded.catch(() => {});  // told when the game starts
    return [file, decoded];
  }));

  // ---- Where the window goes -----------------------------------------------
  // The room is what the screen shows of the page (the visual viewport, which
  // an on-screen keyboard shortens), cut to whole CSS pixels; the game places
  // its window in the device pixels they cover. The room is read here alone,
  // before anything is written, so that laying out again waits for the next
  // frame.
  let ratio = 1;                                  // device pixels a CSS pixel
  let scale = 1;                                  // device pixels a scene pixel
  let room = { left: 0, top: 0, width: 0, height: 0 };  // CSS pixels
  let corner = [0, 0];                            // the window's top left, CSS pixels

  function layout() {
    const view = window.visualViewport;
    ratio = window.devicePixelRatio || 1;
    room = view ? { left: view.offsetLeft, top: view.offsetTop, width: view.width, height: view.height }
      : { left: 0, top: 0, width: innerWidth, height: innerHeight };
    const whole = (css) => Math.floor(Math.floor(css + 1e-3) * ratio + 1e-6);
    Module._zk_place(whole(room.width), whole(room.height), ratio);
  }

  let roomChanged = false;  // before the first frame: laid out once started
  function relayout() {
    if (!started) roomChanged = true;
    else if (!crashed) layout();
  }

  // Chromium (as the browser test sees it at every ratio) puts a box at whole
  // CSS pixels, and shows a canvas's pixels one for one only where its box
  // starts at a whole device pixel too and its backing store is the device
  // pixels the box covers, a half rounded down.
  // `quantum` device pixels is the shortest length that is whole in both
  // units (or failing that, in the 1/64 CSS pixel of a layout unit): 5 at
  // 1.25, 7 at 1.75, 2 at 2, 21 at 2.625.
  function quantum() {
    const whole = (length) => Math.abs(length - Math.round(length)) < 1e-6;
    for (const unit of [1, 64]) {
      for (let k = 1; k <= 64; ++k) if (whole((unit * k) / ratio)) return k;
    }
    return 1;
  }

  // The game's window, `w` by `h` device pixels at (x, y) in the room: its
  // box is whole CSS pixels, no more than the room holds, at a whole number
  // of quanta within the room, as near that place as they allow. What the
  // box holds beyond the window's pixels (less than a CSS pixel) is black,
  // as its frame.
  function resize(x, y, w, h, newScale) {
    scale = newScale;
    const k = quantum();
    const box = (device) => Math.ceil(device / ratio - 1e-6);
    const covered = (n) => Math.ceil(n * ratio - 0.5 - 1e-6);
    const at = (place, start, length, size) => {
      const first = Math.ceil(start / k - 1e-6) * k;
      const last = Math.floor((start + length - size) / k + 1e-6) * k;
      if (first > last) return Math.ceil(start - 1e-6);
      return Math.min(Math.max(Math.floor((start + place) / k + 1e-6) * k, first), last);
    };
    const width = box(w), height = box(h);
    const left = at(x, room.left * ratio, room.width * ratio, width * ratio);
    const top = at(y, room.top * ratio, room.height * ratio, height * ratio);
    canvas.width = covered(width);
    canvas.height = covered(height);
    clipped = false;
    g.imageSmoothingEnabled = false;
    g.fillStyle = '#000';
    g.fillRect(0, 0, canvas.width, canvas.height);
    fillRgb = 0;
    corner = [left / ratio, top / ratio];
    Object.assign(canvas.style, { width: `${width}px`, height: `${height}px` });
    Object.assign(form.style, { left: `${corner[0]}px`, top: `${corner[1]}px`, width: `${width}px`, height: `${height}px` });
    // The text at the scene's size on the screen.
    textBox.style.fontSize = `${(textPixels * scale) / ratio}px`;
  }

  // A control's element at its place in the window, in device pixels.
  function placeElement(name, x, y, w, h) {
    Object.assign(elements[name].style, { left: `${x / ratio}px`, top: `${y / ratio}px`, width: `${w / ratio}px`,
                                          height: `${h / ratio}px` });
  }

  // ---- The controls' elements ------------------------------------------------
  // Each control is painted on the canvas; its element lies over it,
  // invisible, for assistive technology and the focus. The angle box's is
  // the text entry itself, transparent over the painted box.
  function makeElement(c) {
    if (c.kind === 'text') {
      const input = document.createElement('input');
      Object.assign(input, { type: 'text', maxLength: c.maxLength, spellcheck: false });
      input.addEventListener('input', () => enter('zk_type', ['string'], [input.value]));
      textBox = input;
      textPixels = c.fontPixels;
      return input;
    }
    if (c.kind === 'button') {
      const button = document.createElement('button');
      button.type = 'button';
      // Pressed by assistive technology: a pointer passes through the
      // element to the canvas, and the keys the game uses never get here.
      button.addEventListener('click', () => enter('zk_click', ['string'], [c.name]));
      return button;
    }
    const element = document.createElement('div');
    if (c.kind === 'scroll') {
      element.tabIndex = 0;
      element.setAttribute('role', 'slider');
      element.setAttribute('aria-valuemin', c.min);
      element.setAttribute('aria-valuemax', c.max);
    } else {
      gauge = element;
      element.setAttribute('role', 'progressbar');
      element.setAttribute('aria-valuemin', 0);
      element.setAttribute('aria-valuemax', 100);
    }
    return element;
  }

  function makeElements() {
    for (const c of told.controls) {
      const element = makeElement(c);
      element.id = c.name;
      element.classList.add('control');
      element.setAttribute('aria-label', c.label);
      form.append(element);  // the focusable first, in tab order, so the document order is the tab order
      elements[c.name] = element;
    }
  }

  const setDisabled = (element, off) => {
    if ('disabled' in element) element.disabled = off;
    else if (element.getAttribute('role') === 'slider') {
      element.setAttribute('aria-disabled', off);
      element.tabIndex = off ? -1 : 0;
    }
  };

  // ---- The focus -----------------------------------------------------------
  // The DOM focus rests on the element of the control the game gives the
  // focus; one the page did not give (a tap into the angle box's text,
  // assistive technology) is the game's to take or refuse.
  //
  // Where the DOM focus is, is asked only once something may have moved it
  // (the game's focus, a control switched on or off, the DOM focus itself):
  // asking after each of the clock's ticks cost about a twentieth of the
  // page's work while the gauge swings.
  let focusName = '';
  let focusMayHaveMoved = true;
  let moving = false;  // the page is moving the DOM focus itself

  function showFocus() {
    const element = elements[focusName];
    if (!focusMayHaveMoved || !element || dialog.open || stopped) return;
    focusMayHaveMoved = false;
    if (document.activeElement === element) return;
    moving = true;
    element.focus({ preventScroll: true });
    moving = false;
  }

  form.addEventListener('focusout', () => {
    if (!moving) focusMayHaveMoved = true;
  });
  form.addEventListener('focusin', (event) => {
    if (moving) return;
    focusMayHaveMoved = true;
    const name = event.target.id;
    if (name !== focusName && name in elements) enter('zk_focus_on', ['string'], [name]);
  });

  // The focus mark shows only while the page has the focus.
  let activeShown = null;
  function showActive() {
    const active = document.hasFocus();
    if (active !== activeShown && canEnter()) {
      activeShown = active;
      numbers('zk_active', active ? 1 : 0);
    }
  }
  window.addEventListener('focus', showActive);
  window.addEventListener('blur', showActive);

  // ---- Keys ----------------------------------------------------------------
  const keyOf = (event) => told.keys.indexOf(event.key === 'Tab' && event.shiftKey ? 'Shift+Tab' : event.key);

  document.addEventListener('keydown', (event) => {
    if (!started || event.ctrlKey || event.altKey || event.metaKey) return;
    const key = keyOf(event);
    if (dialog.open) {
      // Only the keys the game names close a box: not a key held from before
      // it opened, nor Escape.
      if (event.key === 'Enter' || event.key === ' ' || event.key === 'Escape') event.preventDefault();
      if (key >= 0 && Module._zk_closes_box(key, event.repeat ? 1 : 0)) dialog.close();
      return;
    }
    // In the angle box the keys are its text entry's, but for Tab.
    if (key < 0 || (event.target === textBox && event.key !== 'Tab')) return;
    if (numbers('zk_key', key, event.repeat ? 1 : 0)) event.preventDefault();
  });

  // ---- Pointers ------------------------------------------------------------
  // Listened on the whole page: a finger's target may reach past the
  // window's edge. Places go to the game in scene pixels.
  const DOWN = 0, MOVE = 1, UP = 2, CANCEL = 3;  // the game's pointer phases
  const MOUSE = 0, TOUCH = 1;                     // scene::PointerKind
  let pressed = null;      // the pointer whose press the game took
  let pressLost = false;   // its release came while the game could not hear it

  const pointer = (event, phase) => numbers('zk_pointer', event.pointerType === 'touch' ? TOUCH : MOUSE, phase,
                                            ((event.clientX - corner[0]) * ratio) / scale,
                                            ((event.clientY - corner[1]) * ratio) / scale, scale / ratio);

  document.addEventListener('pointerdown', (event) => {
    if (!started || dialog.open || !event.isPrimary || (event.pointerType === 'mouse' && event.button !== 0)) return;
    if (pressed !== null) numbers('zk_pointer', MOUSE, CANCEL, 0, 0, 1);
    pressed = null;
    if (!pointer(event, DOWN)) return;
    pressed = event.pointerId;
    // The text entry places its own caret and selection.
    if (event.target === textBox) return;
    event.preventDefault();
    event.target.setPointerCapture?.(event.pointerId);
  });
  const follow = (phase) => (event) => {
    if (event.pointerId !== pressed) return;
    if (phase === MOVE) {
      pointer(event, MOVE);
      return;
    }
    pressed = null;
    if (!canEnter()) pressLost = true;
    else pointer(event, phase);
  };
  document.addEventListener('pointermove', follow(MOVE));
  document.addEventListener('pointerup', follow(UP));
  document.addEventListener('pointercancel', follow(CANCEL));

  // The focus stays where the game puts it, whatever is clicked, but in the
  // angle box's text; in a message box OK keeps it, so that Enter and Space
  // always close the box.
  document.addEventListener('mousedown', (event) => {
    if (event.target !== textBox && event.target !== ok) event.preventDefault();
  });

  // A held arrow's or track's next step, at the time the game asks.
  let repeatTimeout = 0;
  let repeatDue = false;  // it fell due while the game could not be entered
  function repeat(delay) {
    clearTimeout(repeatTimeout);
    repeatTimeout = delay >= 0 && !stopped ? setTimeout(() => {
      repeatTimeout = 0;
      if (canEnter()) numbers('zk_repeat');
      else repeatDue = true;
    }, delay) : 0;
  }

  // What the game missed while a box held it.
  function catchUp() {
    if (pressLost) {
      pressLost = false;
      numbers('zk_pointer', MOUSE, CANCEL, 0, 0, 1);
    }
    if (repeatDue) {
      repeatDue = false;
      numbers('zk_repeat');
    }
    showActive();
  }

  // The gauge's value reaches assistive technology at a listener's pace:
  // four times a second while it swings, not on each of its forty ticks, a
  // tenth of the page's work while the gauge swings. Its last value always.
  let gaugeValue = null;  // not shown yet
  function showGauge(value) {
    if (gaugeValue === null) {
      setTimeout(() => {
        gauge.setAttribute('aria-valuenow', gaugeValue);
        gaugeValue = null;
      }, 250);
    }
    gaugeValue = value;
  }

  // ---- Dialogs -------------------------------------------------------------
  function openDialog(prompt, title) {
    document.getElementById('box-title').textContent = title;
    document.getElementById('box-prompt').textContent = prompt;
    dialog.showModal();
    ok.focus();
    return new Promise((resolve) => dialog.addEventListener('close', resolve, { once: true }));
  }

  function stop() {
    stopped = true;
    disarm();
    repeat(-1);
    for (const element of Object.values(elements)) setDisabled(element, true);
  }

  // ---- When it cannot start ------------------------------------------------
  function cannotStart(text) {
    stopped = crashed = true;
    form.hidden = true;
    const notice = document.getElementById('cannot-start');
    notice.textContent = text;
    notice.hidden = false;
  }

  function fatal(error) {
    console.error(error);
    if (!started) return cannotStart(error instanceof CannotStart ? error.message : CANNOT_START.load);
    crashed = true;
    if (stopped) return;
    stop();
    if (!dialog.open) openDialog(String(error?.message ?? error), gameName);
  }

  // ---- What the game calls -------------------------------------------------
  const page = {
    call,
    resize,
    place: placeElement,
    enable(name, on) {
      setDisabled(elements[name], !on);
      focusMayHaveMoved = true;
    },
    value(name, value) {
      elements[name].setAttribute('aria-valuenow', value);
    },
    power: showGauge,
    text(name, text) {
      elements[name].value = text;
    },
    focus(name) {
      focusName = name;
      focusMayHaveMoved = true;
    },
    halt: stop,
    presented() {},
    // The next deadline on the page's clock (negative: none), and the period
    // of the timer due then. A deadline whole periods past the one the
    // repeating wake-up keeps to now is its own next beat: arming a timeout
    // on each of the gauge's forty ticks a second cost the page a tenth of
    // its work while the gauge swings. Any other deadline starts over, and so
    // does the same one asked again, which a beat that came too early asks.
    // The beat starts from a timeout that woke on time: one begun late (a
    // deadline already past, a busy page) would make every tick as late.
    arm(deadline, period) {
      if (beat && period === beat.period && deadline > beat.at && onCadence(deadline - beat.at, period)) {
        beat.at = deadline;
        return;
      }
      disarm();
      if (deadline < 0 || stopped) return;
      timeout = setTimeout(() => {
        timeout = 0;
        if (performance.now() - deadline < BEAT_LATE_MS) beat = { id: setInterval(wake, period), at: deadline, period };
        wake();
      }, Math.max(0, Math.ceil(deadline - performance.now())));
    },
    repeat,
    box: openDialog,
    fail(text, title) {
      stop();
      openDialog(text, title);
    },
  };

  // The game starts once it and its pictures are here; the controls take
  // input from its first frame on, 発射セット with the focus, so the
  // keyboard plays at once.
  async function start() {
    told = JSON.parse(Module.ccall('zk_start', 'string', [], []));
    document.title = told.caption;
    form.setAttribute('aria-label', told.caption);
    makeElements();
    // The first frame waits for the pictures it shows; the others (a hit
    // shows them) are taken as they arrive, and one that never does stops
    // the game with the same words.
    const arriving = told.pictures.map((file) => loaded.get(file));
    if (arriving.includes(undefined)) throw new CannotStart(CANNOT_START.load);
    const taken = arriving.map((arrived, id) => arrived.then((image) => {
      images[id] = image;
      if (awaited.delete(id) && started && !crashed) layout();
    }));
    taken.forEach((taking) => taking.catch(fatal));
    await Promise.all(told.shown.map((id) => taken[id]));
    layout();
    started = true;
    form.inert = false;
    showActive();
    if (roomChanged) askLayout();
    // Installing and offline play, once the first frame is on screen and the
    // page is idle: the manifest and the worker fetch files of their own, and
    // taking them up costs the main thread milliseconds the frame must not wait
    // for.
    const whenIdle = window.requestIdleCallback ?? ((then) => setTimeout(then, 100));
    requestAnimationFrame(() => whenIdle(() => {
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

  // A new size of the window, a zoom, another screen, a turned phone, an
  // on-screen keyboard: a new layout, with a box open or not.
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
  window.visualViewport?.addEventListener('resize', askLayout);
  window.visualViewport?.addEventListener('scroll', askLayout);
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
    // Compiled and started in the script's own task, where the browser allows
    // it: with the pictures already in, the first frame is painted before the
    // browser turns to anything else. Elsewhere it compiles in the background.
    instantiateWasm(imports, receive) {
      const program = decode(zorukanProgram);
      try {
        const instance = new WebAssembly.Instance(new WebAssembly.Module(program), imports);
        receive(instance);
        return instance.exports;
      } catch (error) {
        if (!(error instanceof RangeError)) {
          fatal(error);
          return {};
        }
      }
      WebAssembly.instantiate(program, imports).then(({ instance }) => receive(instance), fatal);
      return {};
    },
    onRuntimeInitialized: () => start().catch(fatal),
    onAbort: fatal,
  };
})();
