// The descriptors a program was started with. Called first thing in main,
// secure_standard_descriptors fills a closed 0, 1 or 2 with something that
// refuses every read and write, so that no file the program opens later lands
// there and no output meant for standard output reaches such a file.
#pragma once

// Occupies each closed standard descriptor and remembers which descriptors
// were open at the start. Call it once, before anything opens a file.
void secure_standard_descriptors();

// Whether descriptor fd was handed to the program open, so that an output
// may be written through it (/dev/fd/N). Without the call above, whether it
// is open now.
bool descriptor_inherited(int fd);
