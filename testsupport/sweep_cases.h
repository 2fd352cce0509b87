#pragma once
// Mixtures in the case format, shared by the tests of the sweep command and
// of the Sweep window.

#include <QByteArray>
#include <QString>

namespace zolvant::cli::test {

inline constexpr char kButaneMethane[] =
    R"([{"Tc": 425.12, "Pc": 37.96, "omega": 0.2, "K1": 0.03443, "fraction": "0.5"},)"
    R"( {"Tc": 190.56, "Pc": 45.99, "omega": 0.011, "K1": -0.00159, "fraction": "0.5"}])";
inline constexpr char kPropane[] = R"([{"Tc": 369.83, "Pc": 42.48, "omega": 0.152, "K1": 0.03136}])";
// Four rows, some constants missing, the last fraction proposed.
inline constexpr char kFourWithGaps[] =
    R"([{"Tc": 190.56, "Pc": 45.99, "omega": 0.011, "K1": -0.00159, "fraction": "0.4"},)"
    R"( {"Tc": 305.32, "Pc": 48.72, "fraction": "0.3"},)"
    R"( {"Tc": 369.83, "Pc": 42.48, "omega": 0.152, "fraction": "0.2"},)"
    R"( {"Tc": 425.12, "Pc": 37.96, "omega": 0.2, "K1": 0.03443}])";

inline QByteArray caseLine(const char* components, const QString& t, const QString& p) {
    return QStringLiteral(R"({"temperature": "%1", "pressure": "%2", "components": %3})")
        .arg(t, p, QString::fromLatin1(components))
        .toUtf8();
}

}  // namespace zolvant::cli::test
