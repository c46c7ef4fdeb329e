// Loads pc-snake.wasm from beside this file and wraps its exports, so that
// the rest of the page never touches raw pointers: what it reads from the
// module's memory it gets as a copy (the memory may grow and move).
// The module is a reactor: _initialize, then web_init, then any export.

// The module links C's stdio for its messages but never calls a system
// function; each import fails loudly should that change.
function refusingImports(module) {
    const imports = {};
    for (const { module: space, name } of WebAssembly.Module.imports(module)) {
        imports[space] ??= {};
        imports[space][name] = () => {
            throw new Error(`pc-snake.wasm called ${space}.${name}, which the page lacks`);
        };
    }
    return imports;
}

// The rows of web_status (web/api/web_status.h), in order.
const STATUS_FIELDS = [
    'drawn', 'level', 'seed', 'speed', 'growth', 'device', 'stopped', 'stepping', 'shown',
    'waitingKeys', 'lastKey',
];

// What a frame is played for (frame_use_t): its state alone, its light, the user.
export const USE = { unheard: 0, light: 1, asked: 2 };

const PLAYED = ['played', 'broke-off', 'stopped'];
const STEPPED = ['none', 'tick', 'ended'];

// Bytes per tick in web_ticks (web/api/web_ticks.h) and the flags.
export const TICK_BYTES = 8;
export const TICK_LIT = 1;
export const TICK_JOINED = 2;
export const PASS_NAMES = ['texts', 'walls', 'food', 'head', 'body', 'end'];

function wrap(api) {
    const bytes = (pointer, length) => new Uint8Array(api.memory.buffer, pointer, length).slice();
    const text = () => new TextDecoder().decode(bytes(api.web_output_text(), api.web_output_length()));
    const input = (...parts) => {
        const length = parts.reduce((sum, part) => sum + part.length, 0);
        const at = api.web_input(length);
        const room = new Uint8Array(api.memory.buffer, at, length);
        let offset = 0;
        for (const part of parts) {
            room.set(part, offset);
            offset += part.length;
        }
    };
    const named = (value) => (value === undefined ? -1 : value);
    return {
        // settings: {level, seed, speed, growth, device}, each optional, as the
        // page names them; script: {name, bytes} or undefined for the built-in
        // one. Returns null, or the script's fault "NAME:LINE: what is wrong".
        start(settings = {}, script = undefined) {
            let scriptLength = -1;
            let nameLength = 0;
            if (script) {
                const name = new TextEncoder().encode(script.name);
                input(name, script.bytes);
                nameLength = name.length;
                scriptLength = script.bytes.length;
            }
            const refused = api.web_start(named(settings.level), named(settings.seed),
                named(settings.speed), named(settings.growth), settings.device ? 1 : 0,
                nameLength, scriptLength);
            return refused ? text() : null;
        },
        newGame: (level = 0) => api.web_new_game(level),
        key: (code) => api.web_key(code) === 1,
        playFrame: () => PLAYED[api.web_play_frame()],
        rewind: (n) => api.web_rewind(n),
        playTo: (n, use) => PLAYED[api.web_play_to(n, use)],
        status() {
            const row = new Int32Array(api.memory.buffer, api.web_status(), STATUS_FIELDS.length);
            return Object.fromEntries(STATUS_FIELDS.map((name, i) => [name, row[i]]));
        },
        recording: () => (api.web_recording(), text()),
        faultText: () => (api.web_fault_text() ? text() : ''),

        glowSet: (persistenceMs, frameMs, tickRate) => api.web_glow_set(persistenceMs, frameMs, tickRate),
        glowHistory: () => api.web_glow_history(),
        glowClear: () => api.web_glow_clear(),
        exactRgba: () => bytes(api.web_exact_rgba(), 4 * 256 * 256),

        stepTick: () => STEPPED[api.web_step_tick()],
        stepRgba: () => bytes(api.web_step_rgba(), 4 * 256 * 256),
        ticks: () => bytes(api.web_ticks(), TICK_BYTES * api.web_tick_count()),
        // number, use, ended, brokeOff, total, and the ticks by pass.
        frameInfo() {
            const info = new Int32Array(api.memory.buffer, api.web_frame_info(), 11);
            return {
                number: info[0], use: info[1], ended: info[2] === 1, brokeOff: info[3] === 1,
                total: info[4], byPass: [...info.subarray(5, 11)],
            };
        },

        tubeCpu: (k) => api.web_tube_cpu(k.size, k.focus, k.brightness, k.persistence, k.glow) === 0,
        tubeCpuOff: () => api.web_tube_cpu_off(),
        tubeRgba: (size) => bytes(api.web_tube_rgba(), 4 * size * size),
        tubeHistory: (persistenceMs) => api.web_tube_history(persistenceMs),
        toneTable: () => bytes(api.web_tone_table(), 4 * api.web_tone_steps()),
        // The spot's shares and edges per coordinate, as the CPU tube has them.
        profile(size, focus) {
            const at = api.web_profile(size, focus);
            const taps = api.web_profile_taps();
            const values = new Float32Array(api.memory.buffer, at, 2 * 256 * (1 + 2 * taps)).slice();
            return { taps, values };
        },

        soundStart: (rate, tickRate, gain) => api.web_sound_start(rate, tickRate, gain),
        soundStop: () => api.web_sound_stop(),
        // The samples made since the last take, X and Y interleaved.
        soundTake() {
            const count = api.web_sound_count();
            const samples = count > 0
                ? new Float32Array(api.memory.buffer, api.web_sound_samples(), count).slice()
                : new Float32Array(0);
            api.web_sound_take();
            return samples;
        },
        soundFinish: () => api.web_sound_finish(),
    };
}

export async function loadSnake(url = new URL('pc-snake.wasm', import.meta.url)) {
    const response = await fetch(url);
    if (!response.ok)
        throw new Error(`${url}: ${response.status} ${response.statusText}`);
    const module = await WebAssembly.compileStreaming(response);
    const instance = await WebAssembly.instantiate(module, refusingImports(module));
    const api = instance.exports;
    api._initialize();
    api.web_init();
    return wrap(api);
}
