// The page's URL parameters, named and checked as the programs' options are
// (snake-render's and snake-play's): the same names, bounds and forms. A bad
// value is named in a problem and ignored; the rest still apply.

// Whole numbers as the programs read them: decimal, 0x hexadecimal, or
// octal with a leading 0; an optional sign.
const INTEGER = /^[+-]?(0[xX][0-9a-fA-F]+|0[0-7]*|[1-9][0-9]*)$/;
const DECIMAL = /^[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?$/;

function readInteger(text) {
    if (!INTEGER.test(text))
        return NaN;
    const negative = text.startsWith('-');
    const digits = text.replace(/^[+-]/, '');
    const value = digits.startsWith('0x') || digits.startsWith('0X')
        ? parseInt(digits.slice(2), 16)
        : digits.length > 1 && digits.startsWith('0') ? parseInt(digits, 8) : parseInt(digits, 10);
    return negative ? -value : value;
}

const readDecimal = (text) => (DECIMAL.test(text) ? Number(text) : NaN);

function number(read, min, max, what) {
    return (text) => {
        const value = read(text);
        if (!Number.isFinite(value) || value < min || value > max)
            return { problem: `'${text}' is not ${what} from ${min} to ${max}` };
        return { value };
    };
}

// snake-render's FRAMES as one frame N: decimal digits only.
function frame(text) {
    if (!/^[0-9]{1,10}$/.test(text))
        return { problem: `'${text}' is not a frame N (decimal) from 1 to 2147483647` };
    const value = Number(text);
    if (value < 1 || value > 2147483647)
        return { problem: `frame ${text} is not within 1 to 2147483647` };
    return { value };
}

function oneOf(...names) {
    return (text) => {
        const value = text.toLowerCase();
        return names.includes(value) ? { value }
            : { problem: `'${text}' is not ${names.slice(0, -1).join(', ')} or ${names.at(-1)}` };
    };
}

// A flag: named with no value.
const flag = (text) => (text === '' ? { value: true } : { problem: `takes no value, not '${text}'` });

const whole = (min, max) => number(readInteger, min, max, 'a whole number');
const decimal = (min, max) => number(readDecimal, min, max, 'a number');

// Name, check, and what it means on the page; the bounds are the programs'.
export const PARAMETERS = {
    level: whole(1, 4),                 // snake-render's LEVEL
    frame,                              // opens on this frame, paused
    seed: whole(1, 32767),
    speed: whole(0, 255),
    growth: whole(0, 255),
    device: flag,
    look: oneOf('exact', 'tube'),
    size: whole(256, 2048),             // the tube's pixels a side
    persistence: decimal(0, 10000),
    focus: decimal(0.2, 4),
    brightness: decimal(0.01, 100),
    glow: decimal(0, 4),
    gain: decimal(0, 1),                // the sound's volume; above 0
    tube: oneOf('webgl', 'cpu'),        // the page's own: which tube draws
};

// {options, problems}: the good values by name, and one line per bad one.
export function readOptions(search) {
    const options = {};
    const problems = [];
    for (const [name, text] of new URLSearchParams(search)) {
        const check = PARAMETERS[name];
        if (!check) {
            problems.push(`${name}: not a parameter of this page (${Object.keys(PARAMETERS).join(', ')}); ignored`);
            continue;
        }
        const { value, problem } = check(text);
        if (problem === undefined && name === 'gain' && value === 0) {
            problems.push('gain: must be above 0; ignored');
        } else if (problem !== undefined) {
            problems.push(`${name}: ${problem}; ignored`);
        } else {
            options[name] = value;
        }
    }
    if (options.device && (options.speed !== undefined || options.growth !== undefined)) {
        problems.push("device: keeps the level table's pace; it goes with no speed or growth; ignored");
        delete options.device;
    }
    return { options, problems };
}

// A query string that names these options (those given), in PARAMETERS' order.
export function optionsSearch(options) {
    const search = new URLSearchParams();
    for (const name of Object.keys(PARAMETERS)) {
        const value = options[name];
        if (value === undefined || value === false)
            continue;
        search.set(name, value === true ? '' : String(value));
    }
    return search.toString();
}
