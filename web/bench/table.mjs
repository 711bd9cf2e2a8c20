// Statistics and the table, as the desktop benchmark prints them: one row a
// figure with its value, its floor, their ratio, the target and the verdict.

export const mean = (samples) => samples.reduce((sum, x) => sum + x, 0) / samples.length;

export function median(samples) {
  if (!samples.length) return NaN;
  const sorted = [...samples].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

// The nearest rank, rounded up.
export function percentile99(samples) {
  if (!samples.length) return NaN;
  const sorted = [...samples].sort((a, b) => a - b);
  const rank = Math.ceil(sorted.length * 0.99);
  return sorted[Math.min(Math.max(rank, 1), sorted.length) - 1];
}

function number(x) {
  if (!Number.isFinite(x)) return 'n/a';
  const magnitude = Math.abs(x);
  return x.toFixed(magnitude >= 100 || Number.isInteger(x) ? 0 : magnitude >= 10 ? 1 : 2);
}

function ratio(x) {
  if (!Number.isFinite(x)) return 'n/a';
  return x.toFixed(x >= 100 ? 0 : 2);
}

// rows: { figure, value, floor (NaN for none), unit, target, met (null: shown
// to explain another figure) }. Every text is ASCII, so widths are lengths.
export function table(rows) {
  const cells = [['figure', 'value', 'floor', 'ratio', 'target', 'verdict']];
  for (const { figure, value, floor, unit, target, met } of rows) {
    const withUnit = (x) => `${number(x)}${unit ? ` ${unit}` : ''}`;
    const hasFloor = !Number.isNaN(floor);
    cells.push([figure, withUnit(value), hasFloor ? withUnit(floor) : '-', hasFloor ? ratio(value / floor) : '-', target,
                met === null ? 'info' : met ? 'met' : 'MISSED']);
  }
  const widths = cells[0].map((_, i) => Math.max(...cells.map((line) => line[i].length)));
  const line = (cellsOfLine) => `|${cellsOfLine.map((cell, i) => ` ${cell.padEnd(widths[i])} `).join('|')}|`;
  const rule = `|${widths.map((width) => '-'.repeat(width + 2)).join('|')}|`;
  return [line(cells[0]), rule, ...cells.slice(1).map(line)].join('\n');
}
