// The golden glow along the window edges: ten nested additive layers, the same in every frame.
#pragma once

// Draws the glow onto the freshly cleared back buffer. The first two frames of a graphics context
// and serial draw the layers, the second also keeps what they leave; every later frame clears to
// the colour of its flat inside and copies its graded edge unblended, the clear colour set
// before left in place. Leaves rotation 0, additive blending and the glow colour in place, as
// drawing the layers does.
void DrawBorderGlow();
