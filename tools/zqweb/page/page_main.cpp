// SPDX-License-Identifier: MIT
// The page's own entry points (interactive use); the headless run is the
// box program's main, called by the page for zqweb.
#include <emscripten.h>
