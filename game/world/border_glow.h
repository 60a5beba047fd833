// The golden glow along the window edges: ten nested additive layers, the same in every frame.
#pragma once

// Draws the glow onto the freshly cleared back buffer. The layers are drawn once per graphics
// context and serial and kept as an image; every other frame copies that image unblended. Leaves
// rotation 0, additive blending and the glow colour in place, as drawing the layers does.
void DrawBorderGlow();

// Forgets the kept image, so that the next DrawBorderGlow draws the layers again.
void ForgetBorderGlow();
