// How the page's functions are named to JS: each exported function carries
// the name JS calls it by. Memory is shared through pointers and lengths
// into the module's own memory; JS copies what it keeps.
#pragma once

#if defined(__wasm__)
#define WEB_EXPORT(name) __attribute__((export_name(name)))
#else
#define WEB_EXPORT(name) // a native build of these files (a tool) exports nothing
#endif
