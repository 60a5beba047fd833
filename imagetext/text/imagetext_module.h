// Start of the images-and-text module: it hands the renderer the one thing only this module knows
// how to make, the default font. It needs no window and no OpenGL.
#pragma once

// Starts the 2D renderer first, registers the embedded font data and makes the default font for
// the renderer's drawing state; once only.
void StartImageTextModule();
