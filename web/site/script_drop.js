// Key scripts the user gives the page: a file dropped anywhere on it, or
// chosen with the file field. The module reads it as snake-render reads
// --keys, with the same checks and "FILE:LINE:" messages, the name being the
// file's own.

// A key script may hold 64 MiB; one byte more is enough for the module to
// refuse a longer file at its line, without copying all of it.
const SCRIPT_BYTES_MAX = 64 * 1024 * 1024;

async function readScript(file) {
    const bytes = new Uint8Array(await file.slice(0, SCRIPT_BYTES_MAX + 1).arrayBuffer());
    return { name: file.name, bytes };
}

// Calls take({name, bytes}) for each script given.
export function listenForScripts(dropTarget, fileInput, take) {
    dropTarget.addEventListener('dragover', (event) => {
        if (event.dataTransfer?.types.includes('Files')) {
            event.preventDefault();
            dropTarget.classList.add('dropping');
        }
    });
    dropTarget.addEventListener('dragleave', () => dropTarget.classList.remove('dropping'));
    dropTarget.addEventListener('drop', async (event) => {
        dropTarget.classList.remove('dropping');
        const file = event.dataTransfer?.files[0];
        if (file === undefined)
            return;
        event.preventDefault();
        take(await readScript(file));
    });
    fileInput.addEventListener('change', async () => {
        const file = fileInput.files[0];
        if (file !== undefined)
            take(await readScript(file));
        fileInput.value = '';
    });
}
