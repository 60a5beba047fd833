// Start of the images-and-text module: it hands the renderer the means to make what only this
// module knows how to make, the default font and texture frames.
#pragma once

// Starts the 2D renderer first, registers the embedded font data and both factories; once only.
void StartImageTextModule();
