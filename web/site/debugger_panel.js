// The beam debugger: where the beam is in the frame being stepped through
// (the frame, the tick, the painter's pass and its state, a ring where the
// beam is, hollow while it is dark), and the frame's tick budget by pass
// against the 2000 ticks a frame may use.
import { PASS_NAMES, TICK_BYTES, TICK_LIT } from './snake_module.js';

export const TICK_LIMIT = 2000;
const MARKER_RADIUS = 3;
const MARKER_COLOUR = '#ffb020';

const hex2 = (v) => v.toString(16).padStart(2, '0');

// What the panel shows, from the module: the frame's ticks so far and, once
// the frame has ended, its budget.
export function beamState(snake) {
    const status = snake.status();
    const ticks = snake.ticks();
    const info = snake.frameInfo();
    const count = status.stepping ? status.shown : ticks.length / TICK_BYTES;
    const byPass = PASS_NAMES.map(() => 0);
    for (let i = 0; i < count; ++i)
        ++byPass[ticks[i * TICK_BYTES + 5]];
    let at = null; // the last lit tick shown, and whether dark ticks came after it
    for (let i = count - 1; i >= 0; --i) {
        if (ticks[i * TICK_BYTES + 4] & TICK_LIT) {
            at = { x: ticks[i * TICK_BYTES], y: ticks[i * TICK_BYTES + 1], dark: i !== count - 1 };
            break;
        }
    }
    const last = count > 0 ? (count - 1) * TICK_BYTES : -1;
    return {
        stepping: status.stepping === 1,
        frame: info.number,
        tick: count,
        total: info.ended ? info.total : null,
        pass: last >= 0 ? PASS_NAMES[ticks[last + 5]] : null,
        state: last >= 0 ? ticks[last + 6] : null,
        byPass: info.ended && !status.stepping ? info.byPass : byPass,
        at,
    };
}

export class DebuggerPanel {
    constructor(panel, overlay) {
        this.where = panel.querySelector('.where');
        this.bars = panel.querySelector('.budget');
        this.overlay = overlay;
        overlay.width = 256;
        overlay.height = 256;
        this.context = overlay.getContext('2d');
    }

    show(state) {
        const used = state.byPass.reduce((a, b) => a + b, 0);
        if (state.stepping) {
            this.where.textContent = state.tick === 0 ? `frame ${state.frame}, no tick yet`
                : `frame ${state.frame}, tick ${state.tick}, pass ${state.pass}, state ${hex2(state.state)}`;
        } else {
            this.where.textContent = state.frame > 0 ? `frame ${state.frame}: ${used} ticks` : '';
        }
        this.#budget(state.byPass, used);
        this.#marker(state.stepping ? state.at : null);
    }

    #budget(byPass, used) {
        const rows = PASS_NAMES.map((name, i) => {
            const share = (100 * byPass[i]) / TICK_LIMIT;
            return `<div class="pass"><span class="name">${name}</span>` +
                `<span class="track"><span class="bar" style="width:${share.toFixed(2)}%"></span></span>` +
                `<span class="ticks">${byPass[i]}</span></div>`;
        });
        const share = (100 * used) / TICK_LIMIT;
        rows.push('<div class="pass total"><span class="name">total</span>' +
            `<span class="track"><span class="bar" style="width:${share.toFixed(2)}%"></span></span>` +
            `<span class="ticks">${used} of ${TICK_LIMIT} (${share.toFixed(1)} %)</span></div>`);
        this.bars.innerHTML = rows.join('');
    }

    #marker(at) {
        const c = this.context;
        c.clearRect(0, 0, 256, 256);
        if (at === null)
            return;
        c.strokeStyle = MARKER_COLOUR;
        c.fillStyle = MARKER_COLOUR;
        c.lineWidth = 1;
        c.beginPath();
        c.arc(at.x + 0.5, 255 - at.y + 0.5, MARKER_RADIUS, 0, 2 * Math.PI);
        if (at.dark)
            c.stroke();
        else
            c.fill();
    }
}
