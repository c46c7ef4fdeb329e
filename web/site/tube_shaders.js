// The GLSL of the WebGL2 tube (tube_gl.js), one program per step of the CPU
// tube (host/tube): the phosphor's spots and lines, the decay folded into
// the light, the halo's shrinking, blurring and enlarging, and the picture.
// Each does the CPU's arithmetic in the CPU's order, on the CPU's tables.

const HEADER = `#version 300 es
precision highp float;
precision highp int;
precision highp sampler2D;
`;

// A rectangle of pixels of the target per instance, or one quad over all of it.
export const QUAD_VERTEX = `${HEADER}
in vec4 rect;   // pixels [x0, x1) x [y0, y1); rows of the light from the top
in vec4 shape;  // kind (0 spot, 1 line across, 2 line down), along a, along b, across
in float density;
uniform vec2 target; // the target's size in pixels
flat out vec4 v_rect;
flat out vec4 v_shape;
flat out float v_density;
void main() {
    vec2 corner = vec2(gl_VertexID & 1, gl_VertexID >> 1);
    vec2 at = mix(rect.xy, rect.zw, corner);
    gl_Position = vec4(at / target * 2.0 - 1.0, 0.0, 1.0);
    v_rect = rect;
    v_shape = shape;
    v_density = density;
}`;

export const FULL_VERTEX = `${HEADER}
void main() {
    vec2 corner = vec2(gl_VertexID & 1, gl_VertexID >> 1);
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}`;

// phosphor_t::add_spot and add_line: (density * share down) * share across.
// The rectangle starts at the first pixel each profile reaches; a line's
// far end reaches its last `taps` pixels.
export const LIGHT_FRAGMENT = `${HEADER}
uniform sampler2D profile; // rows: 256 across (x), 256 down (y); first, spots, edges
uniform int taps;
flat in vec4 v_rect;
flat in vec4 v_shape;
flat in float v_density;
out vec4 light;

float spot(int axis, int c, int t) {
    return texelFetch(profile, ivec2(1 + t, axis * 256 + c), 0).r;
}
float edge(int axis, int c, int t) {
    if (t < 0) return 0.0;
    if (t >= taps) return 1.0;
    return texelFetch(profile, ivec2(1 + taps + t, axis * 256 + c), 0).r;
}
void main() {
    ivec2 p = ivec2(gl_FragCoord.xy);
    ivec4 r = ivec4(v_rect);
    int kind = int(v_shape.x);
    int a = int(v_shape.y);
    int b = int(v_shape.z);
    int across = int(v_shape.w);
    float v;
    if (kind == 0) {
        v = (v_density * spot(1, b, p.y - r.y)) * spot(0, a, p.x - r.x);
    } else if (kind == 1) {
        float share = edge(0, a, p.x - r.x) - edge(0, b, p.x - (r.z - taps));
        v = (v_density * spot(1, across, p.y - r.y)) * share;
    } else {
        float share = edge(1, a, p.y - r.y) - edge(1, b, p.y - (r.w - taps));
        v = (v_density * share) * spot(0, across, p.x - r.x);
    }
    light = vec4(v, 0.0, 0.0, 0.0);
}`;

// phosphor_t::renormalise: the one decay factor folded into the light.
export const SCALE_FRAGMENT = `${HEADER}
uniform sampler2D light;
uniform float factor;
uniform float floor_;
out vec4 scaled;
void main() {
    float v = texelFetch(light, ivec2(gl_FragCoord.xy), 0).r * factor;
    scaled = vec4(v < floor_ ? 0.0 : v, 0.0, 0.0, 0.0);
}`;

// bloom_t: the mean of each 4 x 4 block. rowSums: each row's four added
// first (the quarter from the light), else one at a time (the sixteenth).
export const SHRINK_FRAGMENT = `${HEADER}
uniform sampler2D level;
uniform int side;
uniform bool rowSums;
out vec4 shrunk;
float at(int x, int y) { return x < side && y < side ? texelFetch(level, ivec2(x, y), 0).r : 0.0; }
void main() {
    ivec2 block = ivec2(gl_FragCoord.xy) * 4;
    float sum = 0.0;
    for (int dy = 0; dy < 4; ++dy) {
        int y = block.y + dy;
        if (rowSums) {
            sum += at(block.x, y) + at(block.x + 1, y) + at(block.x + 2, y) + at(block.x + 3, y);
        } else {
            for (int dx = 0; dx < 4; ++dx)
                sum += at(block.x + dx, y);
        }
    }
    shrunk = vec4(sum * (1.0 / 16.0), 0.0, 0.0, 0.0);
}`;

// bloom_t's blur along rows or down columns; light carried past the edge is gone.
export const BLUR_FRAGMENT = `${HEADER}
uniform sampler2D level;
uniform int side;
uniform ivec2 step;
uniform int reach;
uniform float kernel[64];
out vec4 blurred;
void main() {
    ivec2 p = ivec2(gl_FragCoord.xy);
    int here = step.x != 0 ? p.x : p.y;
    float sum = 0.0;
    for (int k = -reach; k <= reach; ++k) {
        int from = here + k;
        if (from >= 0 && from < side)
            sum += kernel[k + reach] * texelFetch(level, p + step * k, 0).r;
    }
    blurred = vec4(sum, 0.0, 0.0, 0.0);
}`;

// bloom_t::enlarge_row: four times larger, between rows first, then along them.
const ENLARGE = `
float between(sampler2D level, int side, int x, int lo, int hi, float w) {
    float a = texelFetch(level, ivec2(x, lo), 0).r;
    float b = texelFetch(level, ivec2(x, hi), 0).r;
    return a + w * (b - a);
}
float enlarged(sampler2D level, int side, int i, int j) {
    float u = (float(j) + 0.5) / 4.0 - 0.5;
    int lo = int(floor(u));
    float w = u - float(lo);
    int hi = clamp(lo + 1, 0, side - 1);
    lo = clamp(lo, 0, side - 1);
    int k = i / 4;
    float here = between(level, side, k, lo, hi, w);
    float before = between(level, side, max(k - 1, 0), lo, hi, w);
    float after = between(level, side, min(k + 1, side - 1), lo, hi, w);
    int m = i - 4 * k;
    if (m == 0) return before + 0.625 * (here - before);
    if (m == 1) return before + 0.875 * (here - before);
    if (m == 2) return here + 0.125 * (after - here);
    return here + 0.375 * (after - here);
}`;

// The halo at a quarter of the size: the mean of the two blurred copies.
export const HALO_FRAGMENT = `${HEADER}
uniform sampler2D near;
uniform sampler2D far;
uniform int farSide;
out vec4 halo;
${ENLARGE}
void main() {
    ivec2 p = ivec2(gl_FragCoord.xy);
    float wide = enlarged(far, farSide, p.x, p.y);
    halo = vec4(0.5 * (wide + texelFetch(near, p, 0).r), 0.0, 0.0, 0.0);
}`;

// tube_t::picture: exposure and halo, the tone map's colour by the
// exposure's bits, the round screen's rows, the surround outside it.
export const PICTURE_FRAGMENT = `${HEADER}
uniform sampler2D light;
uniform sampler2D halo;
uniform int haloSide;
uniform bool withHalo;
uniform sampler2D tone;   // 1024 steps a row
uniform sampler2D spans;  // per row of the picture: first and past the last pixel on the disc
uniform int size;
uniform float exposure;
uniform float glow;
uniform int toneFirst;
uniform int toneLast;
uniform vec3 outside;
out vec4 colour;
${ENLARGE}
void main() {
    int i = int(gl_FragCoord.x);
    int j = size - 1 - int(gl_FragCoord.y);
    vec2 span = texelFetch(spans, ivec2(j, 0), 0).rg;
    if (float(i) < span.x || float(i) >= span.y) {
        colour = vec4(outside / 255.0, 1.0);
        return;
    }
    float x = exposure * texelFetch(light, ivec2(i, j), 0).r;
    if (withHalo)
        x = x + glow * enlarged(halo, haloSide, i, j);
    int step = clamp(int(floatBitsToUint(x) >> 13u) - toneFirst, 0, toneLast);
    colour = vec4(texelFetch(tone, ivec2(step & 1023, step >> 10), 0).rgb, 1.0);
}`;
