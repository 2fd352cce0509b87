#pragma once
// The mixture specification: the state the main window owns and every
// equation reads. Plain data, no behaviour.

#include <array>
#include <cstdint>
#include <string>

namespace zolvant {

// Properties of compConst, in storage order.
enum Prop : int { Tc = 0, Pc = 1, Omega = 2, K1 = 3, K2 = 4, K3 = 5 };

// R in cm3·bar/(mol·K), held in single precision on purpose: every product
// uses 83.13999938964844.
inline constexpr float gasConstR = 83.14f;

struct MixtureState {
    std::int16_t numComps = 0;                 // positions in use, counted from 0
    std::array<float, 24> compConst{};         // element k + 4*p
    float tempK = 0.0f;
    float pressBar = 0.0f;
    std::array<bool, 4> aboveCritT{};

    float& constant(int k, int p) { return compConst[static_cast<std::size_t>(k + 4 * p)]; }
    float constant(int k, int p) const { return compConst[static_cast<std::size_t>(k + 4 * p)]; }
};

// The texts of the four mole-fraction boxes: the fractions have no other home.
using FractionTexts = std::array<std::string, 4>;

}  // namespace zolvant
