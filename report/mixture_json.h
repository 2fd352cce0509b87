#pragma once
// The mixture results as JSON lines, as `zolvant-cli flash --json` and
// `zolvant-cli envelope --json` print them: one object per equation, its
// keys in a fixed order, numbers as the shortest texts that read back the
// same double, a value that is not finite (or not defined) as null.
//
// flash:    {"equation", "T" (K), "P" (bar), "z", "kij", "phases" (1, 2;
//            null when the model gave a reason), "phase" ("liquid" or
//            "vapour" for one phase, else null), "beta" (vapour fraction
//            of two phases, else null), "liquid", "vapour" (null or {"x",
//            "V" cm3/mol, "Z", "density" g/cm3 or null, "lnphi"}),
//            "bubbleP", "dewP" (bar, at T), "bubbleT", "dewT" (K, at P),
//            "notes"}
// envelope: {"equation", "points": [[T, P], ...], "critical": {"T", "P",
//            "V"} or null, "cricondenbar": {"T", "P"} or null,
//            "cricondentherm": {"T", "P"} or null, "notes"}
//
// Arrays over components hold the state's positions in use, in row order.
// A report that gave a reason instead of numbers has that reason as its
// only note.

#include <string>

#include "solver/mixture_model.h"

namespace zolvant::report {

// Without newline.
std::string flashJsonLine(const MixtureReport& report);
std::string envelopeJsonLine(const MixtureReport& report);

// A JSON string literal of UTF-8 text.
std::string jsonString(const std::string& text);

}  // namespace zolvant::report
