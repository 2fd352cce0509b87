#pragma once
// The pictures the generator draws, one function each, named as the build
// names the pictures (ui/pictures embeds them under these names).

#include <QImage>

namespace zolvant::drawing {

// The isotherms shared by figures 2 and 3: T1 > T2 > Tc > T3 > T4.
constexpr double kT1 = 1.30, kT2 = 1.06, kT3 = 0.95, kT4 = 0.81;
constexpr double kDomeBottom = 0.78;  // temperature of A and B

namespace picture {

QImage fig1();        // P-T diagram of a pure substance
QImage fig2();        // P-V diagram of the model fluid
QImage fig3();        // vapour-pressure curve and isochores of the model fluid
QImage background();  // the main window's background

}  // namespace picture
}  // namespace zolvant::drawing
