#pragma once
// Finding a component from a typed text, shared by the command line and the
// window's component boxes. Plain C++: a list of names in, positions out.
//
// Case is folded for ASCII letters only, as the database engine compares
// names (COLLATE NOCASE), so that what matches here matches there.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zolvant::db {

// A component as a box lists it: its name and CAS number ("" when none).
struct NamedComponent {
    std::string name;
    std::string cas;
};

struct ComponentMatch {
    enum Kind {
        None,       // no name equals or contains the text, no CAS number starts with it
        Exact,      // a name equals the text, case aside
        Unique,     // one name contains the text, or one CAS number starts with it
        Ambiguous,  // several do: see candidates
    };
    Kind kind = None;
    // The entry chosen (Exact, Unique): of entries with one name, the last,
    // as the boxes load the last of equal names. -1 otherwise.
    std::ptrdiff_t index = -1;
    // Ambiguous: one entry per distinct name, in the list's order.
    std::vector<std::size_t> candidates;
};

// ASCII case folding, as the engine's NOCASE.
std::string foldCase(std::string_view text);
bool equalsFolded(std::string_view a, std::string_view b);

// Matches an exact name only, case aside: an entry spelled exactly as the
// text wins over others equal to it case aside; entries equal case aside but
// spelled differently (and none exactly) are Ambiguous. Empty text: None.
ComponentMatch matchComponentName(const std::vector<NamedComponent>& components, std::string_view text);

// As matchComponentName, then, when nothing equals the text: the one name
// containing it (case aside) or the one CAS number starting with it (Unique),
// several (Ambiguous) or none (None).
ComponentMatch matchComponent(const std::vector<NamedComponent>& components, std::string_view text);

// Up to `limit` distinct names close to a text that matches nothing: first
// names containing the text (or contained in it), then names within a few
// edits of it; the fewest edits first, ties in the list's order.
std::vector<std::string> suggestComponentNames(const std::vector<NamedComponent>& components, std::string_view text,
                                               std::size_t limit = 3);

}  // namespace zolvant::db
