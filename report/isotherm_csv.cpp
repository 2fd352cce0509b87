#include "report/isotherm_csv.h"

#include <cmath>

#include "report/csv.h"
#include "solver/text.h"

namespace zolvant::report {

std::string isothermCsv(const IsothermModel& m) {
    std::string s = "Equation,V (cm3/mol),P (bar)\r\n";
    for (const IsothermCurve& c : m.curves)
        for (const CurvePoint& pt : c.points) {
            appendCsvField(s, c.name);
            s += ',';
            s += shortestText(pt.V);
            s += ',';
            if (std::isfinite(pt.P)) s += shortestText(pt.P);
            s += "\r\n";
        }
    return s;
}

}  // namespace zolvant::report
