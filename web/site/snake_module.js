// Loads pc-snake.wasm from beside this file and wraps its exports, so that
// the rest of the page never touches raw pointers. The module is a reactor:
// _initialize runs once, then any export may be called.

// The module links C's stdio for its score text but never calls a system
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

export async function loadSnake(url = new URL('pc-snake.wasm', import.meta.url)) {
    const response = await fetch(url);
    if (!response.ok)
        throw new Error(`${url}: ${response.status} ${response.statusText}`);
    const module = await WebAssembly.compileStreaming(response);
    const instance = await WebAssembly.instantiate(module, refusingImports(module));
    const api = instance.exports;
    api._initialize();
    return {
        exportCount: WebAssembly.Module.exports(module).length,
        // Starts a game at level 1 to 4; false for another level.
        start: (level) => api.web_start(level) === 0,
        // Plays one frame (key 0: none) and returns its beam ticks.
        frame: (key = 0) => api.web_frame(key),
        // The last frame's lit points, x then y, copied out of the module's memory.
        points: () =>
            new Uint8Array(api.memory.buffer, api.web_points(), 2 * api.web_point_count()).slice(),
    };
}
