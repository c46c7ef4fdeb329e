// The tube look in WebGL2: the CPU tube's phosphor (host/tube) on the GPU,
// in 32-bit floats, on the core's own spot tables and tone map, lit by the
// beam ticks of every frame heard (those played only for their light too),
// so that its picture is close to snake-render's tube frame at the same
// knobs. Needs float render targets that blend, and a GPU: without them the
// page takes the CPU tube.
import * as shaders from './tube_shaders.js';
import { TICK_BYTES, TICK_JOINED, TICK_LIT } from './snake_module.js';

// host/tube: the exposure of brightness 1, the fold of the decay into the
// light and the light's floor, the tick's energy, the halo's widths, and the
// tone map's steps.
const BASE_EXPOSURE = 3.0;
const RENORMALISE_BELOW = 2 ** -20;
const LIGHT_FLOOR = 2 ** -24;
const TICK_ENERGY = 1;
const NEAR_HALO_POINTS = 2.0;
const FAR_HALO_POINTS = 8.0;
const TONE_FIRST = (127 - 14) << 10;
const SCREEN_DISC_LIMIT = 15875;
const OUTSIDE = [60, 50, 50];
export const TUBE_TICK_RATE = 100000;
// Numbers of instance data drawn at once at most: about 100 frames' ticks.
const PENDING_MAX = 9 * 65536;

const fround = Math.fround;
const shrunk = (side) => Math.ceil(side / 4);

function gaussianKernel(sigma) {
    const reach = Math.max(1, Math.ceil(3 * sigma));
    const weights = [];
    let sum = 0;
    for (let i = -reach; i <= reach; ++i) {
        const w = Math.exp(-0.5 * i * i / (sigma * sigma));
        weights.push(w);
        sum += w;
    }
    return { reach, weights: Float32Array.from(weights, (w) => w / sum) };
}

// tube_t::disc_span: per row, the first pixel on the disc and the one past its last.
function discSpans(size) {
    const perPoint = size / 256;
    const spans = new Float32Array(2 * size);
    for (let j = 0; j < size; ++j) {
        const dy = 255 - ((j + 0.5) / perPoint - 0.5) - 128;
        let lo = size;
        let hi = 0;
        for (let i = 0; i < size; ++i) {
            const dx = (i + 0.5) / perPoint - 0.5 - 128;
            if (dx * dx + dy * dy <= SCREEN_DISC_LIMIT) {
                lo = Math.min(lo, i);
                hi = i + 1;
            }
        }
        spans[2 * j] = Math.min(lo, hi);
        spans[2 * j + 1] = hi;
    }
    return spans;
}

// What light a frame of `ticks` keeps: 2^(-ms / persistence), none without persistence.
export function decayOf(ticks, persistenceMs) {
    return persistenceMs <= 0 ? 0 : 2 ** (-(1000 * ticks / TUBE_TICK_RATE) / persistenceMs);
}

function compile(gl, vertex, fragment) {
    const program = gl.createProgram();
    for (const [type, source] of [[gl.VERTEX_SHADER, vertex], [gl.FRAGMENT_SHADER, fragment]]) {
        const shader = gl.createShader(type);
        gl.shaderSource(shader, source);
        gl.compileShader(shader);
        if (!gl.getShaderParameter(shader, gl.COMPILE_STATUS))
            throw new Error(`tube shader: ${gl.getShaderInfoLog(shader)}`);
        gl.attachShader(program, shader);
    }
    gl.linkProgram(program);
    if (!gl.getProgramParameter(program, gl.LINK_STATUS))
        throw new Error(`tube program: ${gl.getProgramInfoLog(program)}`);
    const uniforms = {};
    const count = gl.getProgramParameter(program, gl.ACTIVE_UNIFORMS);
    for (let i = 0; i < count; ++i) {
        const name = gl.getActiveUniform(program, i).name.replace('[0]', '');
        uniforms[name] = gl.getUniformLocation(program, name);
    }
    return { program, uniforms };
}

// A texture of data the shaders read by texelFetch.
function dataTexture(gl, internal, width, height, format, type, data) {
    const texture = gl.createTexture();
    gl.bindTexture(gl.TEXTURE_2D, texture);
    gl.texImage2D(gl.TEXTURE_2D, 0, internal, width, height, 0, format, type, data);
    for (const p of [gl.TEXTURE_MIN_FILTER, gl.TEXTURE_MAG_FILTER])
        gl.texParameteri(gl.TEXTURE_2D, p, gl.NEAREST);
    return texture;
}

// A float texture of one channel that a pass draws into.
function floatTarget(gl, width, height) {
    const texture = dataTexture(gl, gl.R32F, width, height, gl.RED, gl.FLOAT, null);
    const framebuffer = gl.createFramebuffer();
    gl.bindFramebuffer(gl.FRAMEBUFFER, framebuffer);
    gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, texture, 0);
    return { texture, framebuffer, width, height };
}

class TubeGl {
    constructor(canvas, gl, snake, knobs) {
        this.canvas = canvas;
        this.gl = gl;
        this.needsTicks = true; // each frame's ticks light it
        this.snake = snake;
        this.programs = {
            light: compile(gl, shaders.QUAD_VERTEX, shaders.LIGHT_FRAGMENT),
            scale: compile(gl, shaders.FULL_VERTEX, shaders.SCALE_FRAGMENT),
            shrink: compile(gl, shaders.FULL_VERTEX, shaders.SHRINK_FRAGMENT),
            blur: compile(gl, shaders.FULL_VERTEX, shaders.BLUR_FRAGMENT),
            halo: compile(gl, shaders.FULL_VERTEX, shaders.HALO_FRAGMENT),
            picture: compile(gl, shaders.FULL_VERTEX, shaders.PICTURE_FRAGMENT),
        };
        this.tone = this.#toneTexture(snake.toneTable());
        this.instances = gl.createBuffer();
        this.vertexArray = this.#instanceLayout();
        this.knobs = {};
        this.setKnobs(knobs);
    }

    // Knobs {size, focus, brightness, persistence, glow}. A new size or focus
    // starts the light afresh; the rest apply from the next frame or picture.
    setKnobs(knobs) {
        const resized = knobs.size !== this.knobs.size;
        const refocused = resized || knobs.focus !== this.knobs.focus;
        this.knobs = { ...knobs };
        if (resized)
            this.#build();
        if (refocused)
            this.#loadProfile();
    }

    // The light of nothing: before a game is shown from its start.
    clear() {
        const gl = this.gl;
        for (const target of this.light) {
            gl.bindFramebuffer(gl.FRAMEBUFFER, target.framebuffer);
            gl.clearColor(0, 0, 0, 0);
            gl.clear(gl.COLOR_BUFFER_BIT);
        }
        this.pending = [];
        this.scaleNow = 1;
        this.anyFrame = false;
        this.lastTicks = 0;
    }

    // One frame heard: the light decays by the last frame's time, then the
    // frame's lit ticks (web_ticks bytes) light it; it lasted `total` ticks.
    frame(ticks, total) {
        if (this.anyFrame)
            this.#decay(decayOf(this.lastTicks, this.knobs.persistence));
        this.#lightTicks(ticks);
        this.anyFrame = true;
        this.lastTicks = total;
    }

    // The picture of the latest frame, drawn on the canvas.
    draw() {
        this.#flush();
        const gl = this.gl;
        const shownShare = 1 - decayOf(this.lastTicks, this.knobs.persistence);
        const exposure = fround(BASE_EXPOSURE * this.knobs.brightness * shownShare * fround(this.scaleNow));
        const glow = fround(fround(this.knobs.glow) * exposure);
        const withHalo = glow > 0;
        if (withHalo)
            this.#buildHalo();
        const { program, uniforms: u } = this.programs.picture;
        gl.bindFramebuffer(gl.FRAMEBUFFER, null);
        gl.viewport(0, 0, this.size, this.size);
        gl.useProgram(program);
        this.#bindTexture(0, this.light[0].texture, u.light);
        this.#bindTexture(1, this.haloQuarter.texture, u.halo);
        this.#bindTexture(2, this.tone, u.tone);
        this.#bindTexture(3, this.spans, u.spans);
        gl.uniform1i(u.haloSide, this.quarterSide);
        gl.uniform1i(u.withHalo, withHalo ? 1 : 0);
        gl.uniform1i(u.size, this.size);
        gl.uniform1f(u.exposure, exposure);
        gl.uniform1f(u.glow, glow);
        gl.uniform1i(u.toneFirst, TONE_FIRST);
        gl.uniform1i(u.toneLast, this.toneSteps - 1);
        gl.uniform3fv(u.outside, OUTSIDE);
        gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
    }

    // The picture as drawn: size x size RGBA, rows from the top.
    readRgba() {
        const gl = this.gl;
        const size = this.size;
        gl.bindFramebuffer(gl.FRAMEBUFFER, null);
        const bottomUp = new Uint8Array(4 * size * size);
        gl.readPixels(0, 0, size, size, gl.RGBA, gl.UNSIGNED_BYTE, bottomUp);
        const rgba = new Uint8Array(bottomUp.length);
        const row = 4 * size;
        for (let j = 0; j < size; ++j)
            rgba.set(bottomUp.subarray((size - 1 - j) * row, (size - j) * row), j * row);
        return rgba;
    }

    // The textures of a size: the light, the halo's levels, the disc's rows.
    #build() {
        const gl = this.gl;
        for (const target of [this.light, this.quarter, this.quarterBlur, this.sixteenth,
            this.sixteenthBlur, this.haloQuarter].flat()) {
            if (target !== undefined) {
                gl.deleteTexture(target.texture);
                gl.deleteFramebuffer(target.framebuffer);
            }
        }
        gl.deleteTexture(this.spans ?? null);
        const size = this.knobs.size;
        this.size = size;
        this.canvas.width = size;
        this.canvas.height = size;
        this.scale = size / 256;
        this.lightSide = 4 * shrunk(size); // the halo's blocks read up to here
        this.quarterSide = shrunk(size);
        this.sixteenthSide = shrunk(this.quarterSide);
        this.light = [0, 1].map(() => floatTarget(gl, this.lightSide, this.lightSide));
        this.quarter = floatTarget(gl, this.quarterSide, this.quarterSide);
        this.quarterBlur = [0, 1].map(() => floatTarget(gl, this.quarterSide, this.quarterSide));
        this.sixteenth = floatTarget(gl, this.sixteenthSide, this.sixteenthSide);
        this.sixteenthBlur = [0, 1].map(() => floatTarget(gl, this.sixteenthSide, this.sixteenthSide));
        this.haloQuarter = floatTarget(gl, this.quarterSide, this.quarterSide);
        this.nearKernel = gaussianKernel(NEAR_HALO_POINTS * this.scale / 4);
        this.farKernel = gaussianKernel(FAR_HALO_POINTS * this.scale / 16);
        this.spans = dataTexture(gl, gl.RG32F, size, 1, gl.RG, gl.FLOAT, discSpans(size));
    }

    // The spot at this size and focus, from the module; the light starts afresh.
    #loadProfile() {
        const gl = this.gl;
        const { taps, values } = this.snake.profile(this.size, this.knobs.focus);
        this.taps = taps;
        this.table = values;
        gl.deleteTexture(this.profile ?? null);
        this.profile = dataTexture(gl, gl.R32F, 1 + 2 * taps, 512, gl.RED, gl.FLOAT, values);
        this.clear();
    }

    #toneTexture(table) {
        const gl = this.gl;
        this.toneSteps = table.length / 4;
        return dataTexture(gl, gl.RGBA8, 1024, this.toneSteps / 1024, gl.RGBA, gl.UNSIGNED_BYTE, table);
    }

    #instanceLayout() {
        const gl = this.gl;
        const { program } = this.programs.light;
        const vertexArray = gl.createVertexArray();
        gl.bindVertexArray(vertexArray);
        gl.bindBuffer(gl.ARRAY_BUFFER, this.instances);
        const stride = 9 * 4;
        const attributes = [['rect', 4, 0], ['shape', 4, 16], ['density', 1, 32]];
        for (const [name, count, offset] of attributes) {
            const at = gl.getAttribLocation(program, name);
            gl.enableVertexAttribArray(at);
            gl.vertexAttribPointer(at, count, gl.FLOAT, false, stride, offset);
            gl.vertexAttribDivisor(at, 1);
        }
        gl.bindVertexArray(null);
        return vertexArray;
    }

    // A row of the profile table: first pixel, then shares, then edges.
    #row(axis, c) { return (axis * 256 + c) * (1 + 2 * this.taps); }
    #first(axis, c) { return this.table[this.#row(axis, c)]; }
    #edge(axis, c, pixel) {
        const t = pixel - this.#first(axis, c);
        if (t < 0)
            return 0;
        return t >= this.taps ? 1 : this.table[this.#row(axis, c) + 1 + this.taps + t];
    }
    #centre(axis, c) { return axis === 0 ? (0.5 + c) * this.scale : (255.5 - c) * this.scale; }

    // phosphor_t::add_spot and add_line, as instances of the light program.
    #lightTicks(ticks) {
        const data = this.pending;
        const spot = (x, y) => {
            const fx = this.#first(0, x);
            const fy = this.#first(1, y);
            const density = fround(fround(this.scale * this.scale / this.scaleNow) * TICK_ENERGY);
            data.push(fx, fy, fx + this.taps, fy + this.taps, 0, x, y, 0, density);
        };
        const line = (x0, y0, x1, y1) => {
            if ((x0 === x1) === (y0 === y1)) {
                spot(x1, y1);
                return;
            }
            const across = y0 === y1;
            const axis = across ? 0 : 1;
            let a = across ? x0 : y0;
            let b = across ? x1 : y1;
            if (this.#centre(axis, a) > this.#centre(axis, b))
                [a, b] = [b, a];
            const first = this.#first(axis, a);
            const count = this.#first(axis, b) + this.taps - first;
            let sum = 0;
            for (let i = 0; i < count; ++i)
                sum += fround(this.#edge(axis, a, first + i) - this.#edge(axis, b, first + i));
            const density = fround(fround(this.scale * this.scale / this.scaleNow / sum) * TICK_ENERGY);
            if (across) {
                const fy = this.#first(1, y0);
                data.push(first, fy, first + count, fy + this.taps, 1, a, b, y0, density);
            } else {
                const fx = this.#first(0, x0);
                data.push(fx, first, fx + this.taps, first + count, 2, a, b, x0, density);
            }
        };
        for (let at = 0; at < ticks.length; at += TICK_BYTES) {
            const flags = ticks[at + 4];
            if (!(flags & TICK_LIT))
                continue;
            if (flags & TICK_JOINED)
                line(ticks[at + 2], ticks[at + 3], ticks[at], ticks[at + 1]);
            else
                spot(ticks[at], ticks[at + 1]);
        }
        if (data.length >= PENDING_MAX)
            this.#flush();
    }

    // The lit ticks waiting: the decay between frames is in their density, so
    // frames up to the next fold of the decay go in one draw, in order.
    #flush() {
        const data = this.pending;
        if (data.length === 0)
            return;
        this.pending = [];
        const gl = this.gl;
        const { program, uniforms: u } = this.programs.light;
        gl.bindFramebuffer(gl.FRAMEBUFFER, this.light[0].framebuffer);
        gl.viewport(0, 0, this.lightSide, this.lightSide);
        gl.useProgram(program);
        gl.uniform2f(u.target, this.lightSide, this.lightSide);
        gl.uniform1i(u.taps, this.taps);
        this.#bindTexture(0, this.profile, u.profile);
        gl.bindBuffer(gl.ARRAY_BUFFER, this.instances);
        gl.bufferData(gl.ARRAY_BUFFER, new Float32Array(data), gl.STREAM_DRAW);
        gl.bindVertexArray(this.vertexArray);
        gl.enable(gl.BLEND);
        gl.blendFunc(gl.ONE, gl.ONE);
        gl.drawArraysInstanced(gl.TRIANGLE_STRIP, 0, 4, data.length / 9);
        gl.disable(gl.BLEND);
        gl.bindVertexArray(null);
    }

    // phosphor_t::decay: one factor, folded into the light only now and then.
    #decay(factor) {
        this.scaleNow *= factor;
        if (this.scaleNow === 0) {
            this.clear();
            this.anyFrame = true;
        } else if (this.scaleNow < RENORMALISE_BELOW) {
            this.#flush();
            const { program, uniforms: u } = this.programs.scale;
            this.#pass(program, this.light[1]);
            this.#bindTexture(0, this.light[0].texture, u.light);
            this.gl.uniform1f(u.factor, fround(this.scaleNow));
            this.gl.uniform1f(u.floor_, LIGHT_FLOOR);
            this.gl.drawArrays(this.gl.TRIANGLE_STRIP, 0, 4);
            this.light.reverse();
            this.scaleNow = 1;
        }
    }

    // bloom_t::build: the two small copies, blurred, and their mean at a quarter.
    #buildHalo() {
        const gl = this.gl;
        const shrink = this.programs.shrink;
        this.#pass(shrink.program, this.quarter);
        this.#bindTexture(0, this.light[0].texture, shrink.uniforms.level);
        gl.uniform1i(shrink.uniforms.side, this.lightSide);
        gl.uniform1i(shrink.uniforms.rowSums, 1);
        gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
        this.#pass(shrink.program, this.sixteenth);
        this.#bindTexture(0, this.quarter.texture, shrink.uniforms.level);
        gl.uniform1i(shrink.uniforms.side, this.quarterSide);
        gl.uniform1i(shrink.uniforms.rowSums, 0);
        gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
        this.#blur(this.quarter, this.quarterBlur, this.nearKernel);
        this.#blur(this.sixteenth, this.sixteenthBlur, this.farKernel);
        const halo = this.programs.halo;
        this.#pass(halo.program, this.haloQuarter);
        this.#bindTexture(0, this.quarterBlur[1].texture, halo.uniforms.near);
        this.#bindTexture(1, this.sixteenthBlur[1].texture, halo.uniforms.far);
        gl.uniform1i(halo.uniforms.farSide, this.sixteenthSide);
        gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
    }

    // Along rows into scratch[0], then down columns into scratch[1].
    #blur(level, scratch, kernel) {
        const gl = this.gl;
        const { program, uniforms: u } = this.programs.blur;
        [[level, scratch[0], [1, 0]], [scratch[0], scratch[1], [0, 1]]].forEach(([from, to, step]) => {
            this.#pass(program, to);
            this.#bindTexture(0, from.texture, u.level);
            gl.uniform1i(u.side, from.width);
            gl.uniform2i(u.step, step[0], step[1]);
            gl.uniform1i(u.reach, kernel.reach);
            gl.uniform1fv(u.kernel, kernel.weights);
            gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
        });
    }

    #pass(program, target) {
        const gl = this.gl;
        gl.bindFramebuffer(gl.FRAMEBUFFER, target.framebuffer);
        gl.viewport(0, 0, target.width, target.height);
        gl.useProgram(program);
    }

    #bindTexture(unit, texture, uniform) {
        const gl = this.gl;
        gl.activeTexture(gl.TEXTURE0 + unit);
        gl.bindTexture(gl.TEXTURE_2D, texture);
        gl.uniform1i(uniform, unit);
    }
}

// A WebGL2 that the CPU draws (SwiftShader, llvmpipe): the module's CPU tube
// makes the same picture faster there.
export function softwareRenderer(gl) {
    const info = gl.getExtension('WEBGL_debug_renderer_info');
    const name = gl.getParameter(info ? info.UNMASKED_RENDERER_WEBGL : gl.RENDERER);
    return name.match(/swiftshader|llvmpipe|softpipe|software/i)?.[0] ?? null;
}

// The WebGL2 tube on `canvas`: {view}, or {why} there is none: no float
// render targets that blend, or a software renderer unless `software` is
// allowed. The page then takes the CPU tube.
export function createTubeGl(canvas, snake, knobs, { software = false } = {}) {
    const gl = canvas.getContext('webgl2', {
        alpha: false, antialias: false, depth: false, stencil: false,
        preserveDrawingBuffer: true, premultipliedAlpha: false,
    });
    if (!gl)
        return { why: 'no WebGL2' };
    if (!gl.getExtension('EXT_color_buffer_float') || !gl.getExtension('EXT_float_blend'))
        return { why: 'WebGL2 without float render targets that blend' };
    const emulated = softwareRenderer(gl);
    if (emulated !== null && !software)
        return { why: `this WebGL2 is software (${emulated})` };
    return { view: new TubeGl(canvas, gl, snake, knobs) };
}
