// The shapes scene: every kind of drawing the library's public operations give, in one
// picture. Shared by the demo program and the test that renders docs/shapes.png.
#pragma once

// Clears the graphics window and draws the whole scene into the frame buffer.
void draw_shapes_scene();
