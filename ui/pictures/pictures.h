#pragma once

// The pictures drawn at build time and carried in the program's resources:
//   :/pictures/fig1.bmp        653 x 543  P-T diagram of a pure substance
//   :/pictures/fig2.bmp        643 x 458  P-V diagram of a pure fluid
//   :/pictures/fig3.bmp        498 x 468  vapour-pressure curve with isochores
//   :/pictures/background.bmp  800 x 600  the main window's background
// All are uncompressed 24-bit bitmaps.
//
// They live in a static library, whose resources the linker would otherwise
// drop: call this once (more calls are harmless) before loading any of them,
// for example at the start of main().
void zolvant_init_pictures();
