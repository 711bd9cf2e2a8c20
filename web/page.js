// The page's side of the game: paints the scene the game sends as JSON, holds
// the real controls over it, shows the game's message boxes as modal dialogs
// and keeps the one timeout the game's clock asks for. Every fact about the
// scene (places, order, colours, captions, fonts, pictures, tab order) comes
// from the game; nothing here repeats one.
'use strict';

(() => {
  const form = document.getElementById('form1');
  const canvas = document.getElementById('scene');
  const dialog = document.getElementById('box');
  const gameName = document.title;  // until the game names its window
  const test = new URLSearchParams(location.search).has('test');

  let scene = null;      // the latest state the game sent
  const images = {};     // picture file -> decoded image
  const controls = {};   // control name -> element
  let scrollShown = null;

  // ---- Calls into the game -------------------------------------------------
  // A message box suspends the procedure that opened it, and the game must
  // not be entered again until it resumes: while `busy`, input is dropped
  // (the modal dialog keeps it away anyway) and the clock's wake-up waits.
  let busy = false;
  let stopped = false;
  let wakeWaiting = false;
  let timeout = 0;

  function call(name, types = [], args = []) {
    if (busy || stopped) return false;
    busy = true;
    try {
      Module.ccall(name, null, types, args, { async: true }).then(() => {
        busy = false;
        if (wakeWaiting) {
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

  // ---- Painting ------------------------------------------------------------
  // Everything is drawn on whole device pixels, so lines and pictures stay
  // crisp at any devicePixelRatio; only the captions are left to the font.
  function paint() {
    if (!scene || !scene.pictures.every((file) => images[file]?.naturalWidth)) return;
    const dpr = window.devicePixelRatio || 1;
    const width = Math.round(scene.width * dpr), height = Math.round(scene.height * dpr);
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
    }
    const g = canvas.getContext('2d');
    g.imageSmoothingEnabled = false;
    const at = (v) => Math.round(v * dpr);
    const fill = (x, y, w, h, colour) => {
      g.fillStyle = colour;
      g.fillRect(at(x), at(y), at(x + w) - at(x), at(y + h) - at(y));
    };
    const line = (x1, y1, x2, y2, pen) => {
      // Bresenham, stamping a round pen of `pen` pixels at every step.
      const r = (pen - 1) >> 1, reach = (pen / 2) ** 2;
      const dx = Math.abs(x2 - x1), dy = -Math.abs(y2 - y1);
      const sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
      let err = dx + dy;
      for (;;) {
        for (let oy = -r; oy <= r; ++oy) {
          for (let ox = -r; ox <= r; ++ox) if (ox * ox + oy * oy <= reach) fill(x1 + ox, y1 + oy, 1, 1, '#000');
        }
        if (x1 === x2 && y1 === y2) break;
        const e2 = 2 * err;
        if (e2 >= dy) { err += dy; x1 += sx; }
        if (e2 <= dx) { err += dx; y1 += sy; }
      }
    };
    const gothic = getComputedStyle(document.documentElement).getPropertyValue('--gothic');

    fill(0, 0, scene.width, scene.height, scene.back);
    for (const item of scene.draw) {
      if (item.kind === 'picture') {
        const image = images[item.file];
        if (item.visible) {
          g.drawImage(image, at(item.x), at(item.y), at(item.x + image.naturalWidth) - at(item.x),
                      at(item.y + image.naturalHeight) - at(item.y));
        }
      } else if (item.kind === 'shape') {
        const { x, y, w, h } = item;
        if (w <= 1) {
          fill(x, y, 1, h, '#000');  // too narrow for a fill: only the border's line
        } else {
          fill(x, y, w, h, item.fill);
          fill(x, y, w, 1, '#000');
          fill(x, y + h - 1, w, 1, '#000');
          fill(x, y, 1, h, '#000');
          fill(x + w - 1, y, 1, h, '#000');
        }
      } else if (item.kind === 'line') {
        line(item.x1, item.y1, item.x2, item.y2, item.width);
      } else if (item.kind === 'label') {
        g.font = `${item.px * dpr}px ${item.family ? `"${item.family}", ` : ''}${gothic}`;
        g.textBaseline = 'top';
        g.fillStyle = '#000';
        g.fillText(item.text, at(item.x), at(item.y), at(item.w));  // narrowed to fit, never clipped
      }
    }
    for (const [x1, y1, x2, y2] of scene.trace) line(x1, y1, x2, y2, 1);
  }

  function loadPictures() {
    for (const file of scene.pictures) {
      if (images[file]) continue;
      const image = new Image();
      image.onload = paint;
      image.onerror = () => fatal(new Error(`${file} を読み込めません。`));
      image.src = file;
      images[file] = image;
    }
  }

  // ---- Controls ------------------------------------------------------------
  function position(element, { x, y, w, h }) {
    Object.assign(element.style, { left: `${x}px`, top: `${y}px`, width: `${w}px`, height: `${h}px` });
    form.append(element);  // in tab order, so the document order is the tab order
  }

  function place(element, c, box = c) {
    element.id = c.name;
    element.setAttribute('aria-label', c.label);
    position(element, box);
    controls[c.name] = element;
  }

  // The scroll bar's arrows: a square at each end, a step each click. They
  // take no focus of their own; the bar between them does.
  function arrow(range, c, step) {
    const button = document.createElement('button');
    Object.assign(button, { type: 'button', tabIndex: -1, className: step < 0 ? 'arrow left' : 'arrow right' });
    button.setAttribute('aria-hidden', 'true');
    button.addEventListener('mousedown', (event) => event.preventDefault());
    button.addEventListener('click', () => {
      range.focus();
      range.value = range.valueAsNumber + step;
      range.dispatchEvent(new Event('change'));
    });
    position(button, { ...c, x: step < 0 ? c.x : c.x + c.w - c.h, w: c.h });
    return button;
  }

  function makeControls() {
    for (const c of scene.controls) {
      if (c.kind === 'button') {
        const button = document.createElement('button');
        button.type = 'button';
        button.addEventListener('click', () => call('zk_click', ['string'], [c.name]));
        place(button, c);
      } else if (c.kind === 'text') {
        const input = document.createElement('input');
        input.type = 'text';
        // As many characters as the desktop's text box holds; the text
        // travels to the game on its stack.
        input.maxLength = 32767;
        input.spellcheck = false;
        input.addEventListener('input', () => call('zk_type', ['string'], [input.value]));
        place(input, c);
      } else if (c.kind === 'scroll') {
        // A range input reports `change` after a click or an arrow key, and
        // on release after a drag, never while the thumb moves.
        const range = document.createElement('input');
        range.type = 'range';
        Object.assign(range, { min: c.min, max: c.max, step: 1 });
        range.addEventListener('change', () => call('zk_scroll', ['number'], [range.valueAsNumber]));
        range.addEventListener('keydown', (event) => {
          // A page of this scroll bar is one step, as on the desktop.
          const step = { PageUp: 1, PageDown: -1 }[event.key];
          if (!step) return;
          event.preventDefault();
          range.value = range.valueAsNumber + step;
          range.dispatchEvent(new Event('change'));
        });
        arrow(range, c, -1);
        place(range, c, { ...c, x: c.x + c.h, w: c.w - 2 * c.h });
        arrow(range, c, 1);
      }
    }
  }

  function syncControls() {
    const focused = document.activeElement;
    const buttons = scene.controls.filter((c) => c.kind === 'button');
    for (const c of scene.controls) {
      const element = controls[c.name];
      if (c.kind === 'button') element.disabled = !c.enabled || scene.halted;
      if (c.kind === 'text') {
        if (c.text !== undefined && element.value !== c.text) element.value = c.text;
        element.disabled = scene.halted;
      }
      if (c.kind === 'scroll') {
        // Only the game's own changes move the thumb; one being dragged stays.
        if (c.value !== scrollShown) element.value = scrollShown = c.value;
        for (const part of [element.previousSibling, element, element.nextSibling]) part.disabled = scene.halted;
      }
    }
    // A focused button that can no longer be pressed hands the focus to the
    // next one in tab order that can: set, then fire, then set again.
    const lost = buttons.findIndex((c) => controls[c.name] === focused && controls[c.name].disabled);
    if (lost < 0) return;
    for (let i = 1; i < buttons.length; ++i) {
      const next = controls[buttons[(lost + i) % buttons.length].name];
      if (!next.disabled) return next.focus();
    }
  }

  // ---- Dialogs -------------------------------------------------------------
  function openDialog(prompt, title) {
    document.getElementById('box-title').textContent = title;
    document.getElementById('box-prompt').textContent = prompt;
    dialog.showModal();
    document.getElementById('box-ok').focus();
    return new Promise((resolve) => dialog.addEventListener('close', resolve, { once: true }));
  }

  function stop() {
    stopped = true;
    clearTimeout(timeout);
    timeout = 0;
    for (const element of form.querySelectorAll('button, input')) element.disabled = true;
  }

  function fatal(error) {
    console.error(error);
    if (stopped) return;
    stop();
    if (!dialog.open) openDialog(String(error?.message ?? error), gameName);
  }

  // ---- What the game calls -------------------------------------------------
  const page = {
    present(json) {
      scene = JSON.parse(json);
      if (!Object.keys(controls).length) {
        document.title = scene.caption;
        Object.assign(canvas.style, { width: `${scene.width}px`, height: `${scene.height}px` });
        makeControls();
        loadPictures();
      }
      syncControls();
      paint();
      if (test) window.zorukanTest.presents += 1;
    },
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

  // A new devicePixelRatio (zoom, another screen) gets a new backing store.
  (function watchRatio() {
    matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener('change', () => {
      paint();
      watchRatio();
    }, { once: true });
  })();

  window.Module = {
    zorukanPage: page,
    onRuntimeInitialized: () => call('zk_start'),
    onAbort: fatal,
  };

  // Test-only, with ?test: a television placed where a known shot passes,
  // a flight forced to overflow, whether a wake-up is armed, and a count of
  // the scenes presented.
  if (test) {
    window.zorukanTest = {
      presents: 0,
      armed: () => timeout !== 0,
      scene: () => scene,
      placeTelevision: (left) => call('zk_test_place_television', ['number'], [left]),
      overflowFlightTime: () => call('zk_test_overflow_flight_time'),
    };
  }
})();
