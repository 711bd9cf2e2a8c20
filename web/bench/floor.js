'use strict';
// The floor the web edition is measured against: nothing but a canvas of the
// game's size and the game's pictures, drawn whole at their natural sizes.
// The benchmark passes the size and the picture files in the address:
//   ?width=W&height=H&pictures=a.gif,b.gif,...        draws once, for the first frame;
//   ...&every=25                                        and again every 25 ms.
(() => {
  const query = new URLSearchParams(location.search);
  const width = Number(query.get('width')), height = Number(query.get('height'));
  const every = Number(query.get('every') ?? 0);
  const files = query.get('pictures').split(',');
  const canvas = document.querySelector('canvas');
  const ratio = window.devicePixelRatio || 1;
  const images = [];
  let waiting = files.length;

  function paint() {
    const g = canvas.getContext('2d');
    g.imageSmoothingEnabled = false;
    g.fillStyle = '#00c000';
    g.fillRect(0, 0, canvas.width, canvas.height);
    for (const image of images) g.drawImage(image, 0, 0, image.naturalWidth * ratio, image.naturalHeight * ratio);
  }

  function loaded() {
    if (--waiting) return;
    Object.assign(canvas.style, { width: `${width}px`, height: `${height}px` });
    canvas.width = Math.round(width * ratio);
    canvas.height = Math.round(height * ratio);
    paint();
    // Marked as the game's test build marks its first frame.
    requestAnimationFrame(() => setTimeout(() => performance.mark('first-frame')));
    if (every) setInterval(paint, every);
  }

  for (const file of files) {
    const image = new Image();
    image.onload = loaded;
    image.src = file;
    images.push(image);
  }
})();
