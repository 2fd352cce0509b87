#pragma once
// The mixture state and every rule applied to it when an entry is made: a
// component chosen, a fraction box entered and left, the temperature and
// pressure boxes left, Solve pressed. The main window, the command-line tool
// and the tests all make their entries through it, so a case typed into the
// window and the same case given to zolvant-cli are processed by one code.
// Front ends read their own widgets or texts and show the outcome (message
// boxes, focus, captions); nothing here decides anything about widgets.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "solver/grid.h"
#include "solver/solve.h"
#include "solver/state.h"

namespace zolvant {

// Tc, Pc, ω, K1, K2, K3 of a component, in the order of Prop, as read from
// its source; nullopt is a missing (Null) value.
using ComponentConstants = std::array<std::optional<double>, 6>;

// A fraction box left.
struct FractionLeft {
    std::string text;       // the cleaned text the box shows from now on
    bool deselect = false;  // its value is 0: the row's component choice is given up
};

// The temperature box left.
struct TemperatureLeft {
    bool accepted = false;
    std::string title;        // when refused: the message box
    std::string message;
    bool emptyBox = false;    // refused as not a number: the box is emptied
    int rows = 0;             // when accepted: rows 0..rows-1 had their aboveCritT set
    std::string messageLine;  // when accepted: lblMsg ("" when no row is above)
};

class MixtureEntry {
public:
    const MixtureState& state() const { return state_; }

    // The value a component's constant is stored as: a missing one is 1 for
    // Tc and Pc and 0 for the others; a value beyond the single-precision
    // range becomes an infinity of its sign, which the equations show as "NA".
    static float storedConstant(int prop, const std::optional<double>& value);

    // A component box is left with a component chosen: its row takes the
    // component's constants.
    void chooseComponent(int row, const ComponentConstants& constants);

    // Fraction box `index` gains the focus: the text it is given, 1 minus
    // the boxes before it.
    std::string enterFraction(const FractionTexts& boxes, int index) const;

    // Fraction box `index` is left holding `text`. A positive value puts the
    // row in use (numComps never shrinks here).
    FractionLeft leaveFraction(int index, std::string_view text);

    // The temperature box is left: on acceptance tempK and the aboveCritT
    // flags of the rows in use are set.
    TemperatureLeft leaveTemperature(std::string_view text);

    // The pressure box is left: a number is stored, anything else keeps the
    // pressure as it was.
    void leavePressure(std::string_view text);

    // Solve pressed with the four fraction boxes holding `boxes` and the
    // temperature and pressure boxes showing `shown`: the checks (numComps is
    // rescanned even when refused), then, when accepted, the grid cleared and
    // all six equations written into it. `checked` runs once the checks have
    // decided, before the grid is touched: a window captions and hides its
    // rows there.
    SolveCheck solve(const FractionTexts& boxes, const ShownConditions& shown, ResultGrid& grid,
                     const std::function<void(const SolveCheck&)>& checked = {});

private:
    MixtureState state_;
};

}  // namespace zolvant
