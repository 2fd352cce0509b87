#include "cli/mixture_input.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <cstddef>

#include "cli/command_support.h"
#include "cli/database_components.h"
#include "cli/solve_command.h"
#include "solver/mixture_eos.h"

namespace zolvant::cli {

using report::CaseReport;
using report::KijByBlock;
using report::KijOverride;

namespace {

// The envelope does not depend on the state: its case runs at these.
const QString kEnvelopeTemperature = QStringLiteral("25");
const QString kEnvelopePressure = QStringLiteral("1");

struct KijText {
    QString names;  // NAME1,NAME2 (either name may hold commas)
    double value = 0.0;
};

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The case's "kij": one matrix for every block, or an object of matrices
// by equation name (the blocks it names; the others keep theirs).
std::variant<std::vector<std::pair<int, KijMatrix>>, QString> caseKij(const QJsonValue& v, int n) {
    const QString shape = QStringLiteral("\"kij\" must be a %1x%1 matrix of numbers (one row per component), or an "
                                         "object of such matrices by equation name")
                              .arg(n);
    const auto matrix = [n](const QJsonValue& m) -> std::optional<KijMatrix> {
        if (!m.isArray() || m.toArray().size() != n) return std::nullopt;
        KijMatrix k{};
        for (int i = 0; i < n; ++i) {
            const QJsonValue row = m.toArray().at(i);
            if (!row.isArray() || row.toArray().size() != n) return std::nullopt;
            for (int j = 0; j < n; ++j) {
                const QJsonValue x = row.toArray().at(j);
                if (!x.isDouble()) return std::nullopt;
                k[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = x.toDouble();
            }
        }
        return k;
    };
    std::vector<std::pair<int, KijMatrix>> out;
    if (v.isArray()) {
        const std::optional<KijMatrix> k = matrix(v);
        if (!k) return shape;
        for (int b = 0; b < kBlocks; ++b) out.emplace_back(b, *k);
        return out;
    }
    if (!v.isObject()) return shape;
    const QJsonObject o = v.toObject();
    for (auto it = o.begin(); it != o.end(); ++it) {
        const std::optional<int> b = report::equationBlock(it.key().toStdString());
        if (!b)
            return QStringLiteral("\"kij\": unknown equation \"%1\" (the equations: %2)")
                .arg(it.key(), QString::fromStdString(report::equationNames()));
        const std::optional<KijMatrix> k = matrix(it.value());
        if (!k) return shape;
        out.emplace_back(*b, *k);
    }
    return out;
}

}  // namespace

MixtureOptions::MixtureOptions(bool forEnvelope)
    : envelope(forEnvelope),
      temperature(temperatureOption(forEnvelope ? QStringLiteral("Accepted and not used: the envelope covers every "
                                                                 "temperature.")
                                                : QStringLiteral("The temperature in degrees Celsius, as typed into "
                                                                 "the temperature box. Needs -P."))),
      pressure(pressureOption(QStringLiteral("The pressure in bar, as typed into the pressure box. Needs -T."))),
      caseFile(caseOption(QStringLiteral("The mixture from the first line of FILE, a case of `zolvant-cli solve`, "
                                         "optionally with \"kij\"."))),
      kij(QStringLiteral("kij"),
          QStringLiteral("The interaction parameter of a pair of the mixture's components for every equation "
                         "(repeatable; replaces the database's and the case's)."),
          QStringLiteral("NAME1,NAME2=VALUE")),
      equation(QStringLiteral("equation"),
               QStringLiteral("Only this equation (repeatable; default all six), named as the grid names it, case "
                              "aside: %1.")
                   .arg(QString::fromStdString(report::equationNames())),
               QStringLiteral("NAME")) {}

void MixtureOptions::addTo(QCommandLineParser& parser) const {
    parser.addOption(temperature);
    if (!envelope) parser.addOption(pressure);
    parser.addOption(caseFile);
    parser.addOption(kij);
    parser.addOption(equation);
    parser.addOption(databaseOption());
    addComponentPairs(parser, QStringLiteral("NAME=FRACTION pairs (at most 4) of components in the database."));
}

MixtureRead readMixture(const QCommandLineParser& parser, const MixtureOptions& o, const QStringList& arguments,
                        QIODevice& err) {
    // Usage first, before any database is opened.
    std::vector<int> blocks;
    for (const QString& name : parser.values(o.equation)) {
        const std::optional<int> b = report::equationBlock(name.toStdString());
        if (!b)
            return usageError(arguments,
                              QStringLiteral("--equation: unknown equation '%1' (the equations: %2)")
                                  .arg(name, QString::fromStdString(report::equationNames())),
                              err);
        blocks.push_back(*b);
    }
    std::vector<int> ordered;
    for (int b = 0; b < kBlocks; ++b)
        for (const int asked : blocks)
            if (asked == b) {
                ordered.push_back(b);
                break;
            }

    std::vector<KijText> kijTexts;
    for (const QString& text : parser.values(o.kij)) {
        const qsizetype eq = text.lastIndexOf(QLatin1Char('='));
        bool ok = false;
        const double v = eq > 0 ? text.mid(eq + 1).trimmed().toDouble(&ok) : 0.0;
        if (eq <= 0 || !text.left(eq).contains(QLatin1Char(',')))
            return usageError(arguments, QStringLiteral("--kij: '%1' is not a NAME1,NAME2=VALUE pair").arg(text), err);
        if (!ok || !std::isfinite(v))
            return usageError(arguments, QStringLiteral("--kij: '%1' is not a number").arg(text.mid(eq + 1)), err);
        kijTexts.push_back({text.left(eq), v});
    }

    const QStringList positional = parser.positionalArguments();
    QByteArray line;
    QString where;
    if (parser.isSet(o.caseFile)) {
        if (!positional.isEmpty())
            return usageError(arguments,
                              QStringLiteral("--case gives the components; '%1' is one too many").arg(positional.first()),
                              err);
        if (!o.envelope && (parser.isSet(o.pressure) || parser.isSet(o.temperature)))
            return usageError(arguments, QStringLiteral("--case gives the temperature and pressure; -T and -P do not apply"),
                              err);
        const Checked<QByteArray> read = caseLine(parser, o.caseFile);
        if (!read) return usageError(arguments, read.problem, err);
        line = *read;
        where = QStringLiteral("%1, line 1").arg(parser.value(o.caseFile));
    } else {
        if (!o.envelope) {
            const Checked<QString> t = requiredValue(parser, o.temperature);
            if (!t) return usageError(arguments, t.problem + QStringLiteral(" (or give --case)"), err);
            const Checked<QString> p = requiredValue(parser, o.pressure);
            if (!p) return usageError(arguments, p.problem + QStringLiteral(" (or give --case)"), err);
        }
        const Checked<ComponentPairs> pairs = componentPairs(positional, QStringLiteral(", or --case"));
        if (!pairs) return usageError(arguments, pairs.problem, err);
        line = o.envelope ? quickCase(kEnvelopeTemperature, kEnvelopePressure, *pairs)
                          : quickCase(parser.value(o.temperature), parser.value(o.pressure), *pairs);
    }

    // The case's own "kij" is not solve's: taken out before the case is run.
    std::vector<std::pair<int, KijMatrix>> fromCase;
    QJsonParseError parseError;
    QJsonDocument doc = QJsonDocument::fromJson(line, &parseError);
    if (parser.isSet(o.caseFile) && parseError.error == QJsonParseError::NoError && doc.isObject()) {
        QJsonObject c = doc.object();
        const bool hasKij = c.contains(QStringLiteral("kij"));
        if (hasKij || o.envelope) {
            const QJsonValue k = c.take(QStringLiteral("kij"));
            if (o.envelope) {
                c.insert(QStringLiteral("temperature"), kEnvelopeTemperature);
                c.insert(QStringLiteral("pressure"), kEnvelopePressure);
            }
            if (hasKij) {
                const int n = static_cast<int>(std::min<qsizetype>(c.value(QStringLiteral("components")).toArray().size(), 4));
                auto read = caseKij(k, n);
                if (const QString* problem = std::get_if<QString>(&read))
                    return MixtureRefusal{QStringLiteral("Input ERROR"), where + QStringLiteral(": ") + *problem};
                fromCase = std::get<0>(std::move(read));
            }
            line = QJsonDocument(c).toJson(QJsonDocument::Compact);
        }
    }

    DatabaseComponents components([&parser] { return componentDatabasePath(parser); });
    MixtureInput in;
    in.report = report::evaluateLine(line, where, components.lookup());
    const CaseReport& r = in.report;
    if (r.inputError) return MixtureRefusal{QStringLiteral("Input ERROR"), report::inputErrorMessage(r)};
    if (!r.outcome.solved)
        return MixtureRefusal{QString::fromStdString(r.outcome.title), QString::fromStdString(r.outcome.message)};

    const int m = r.outcome.state.numComps;
    std::vector<std::string> names(4);
    for (int row = 0; row < 4; ++row) {
        names[static_cast<std::size_t>(row)] = r.parsed.names[static_cast<std::size_t>(row)].toStdString();
        if (row < m) in.captions.push_back(report::rowCaption(r, row).toStdString());
    }
    try {
        in.kij = components.kijMatrices(names);
        for (int row = 0; row < m; ++row)
            if (!r.parsed.names[static_cast<std::size_t>(row)].isEmpty())
                in.molWt[static_cast<std::size_t>(row)] = components.molarMass(r.parsed.names[static_cast<std::size_t>(row)]);
    } catch (const report::LookupFailure& f) {
        return failure(arguments, f.message, err);
    }
    for (const auto& [block, k] : fromCase) in.kij[static_cast<std::size_t>(block)] = k;

    std::vector<KijOverride> overrides;
    for (const KijText& t : kijTexts) {
        // The one comma that splits the text into two names of the mixture.
        std::vector<KijOverride> found;
        for (qsizetype c = t.names.indexOf(QLatin1Char(',')); c >= 0; c = t.names.indexOf(QLatin1Char(','), c + 1)) {
            const QString a = t.names.left(c).trimmed(), b = t.names.mid(c + 1).trimmed();
            int ia = -1, ib = -1;
            for (int row = 0; row < m; ++row) {
                const QString& name = r.parsed.names[static_cast<std::size_t>(row)];
                if (name.isEmpty()) continue;
                if (ia < 0 && sameName(name, a)) ia = row;
                if (ib < 0 && sameName(name, b)) ib = row;
            }
            if (ia >= 0 && ib >= 0) found.push_back({ia, ib, t.value});
        }
        if (found.size() != 1 || found.front().i == found.front().j) {
            QStringList mixture;
            for (int row = 0; row < m; ++row)
                if (!r.parsed.names[static_cast<std::size_t>(row)].isEmpty())
                    mixture << r.parsed.names[static_cast<std::size_t>(row)];
            return usageError(arguments,
                              QStringLiteral("--kij: '%1' is not a pair of two different components of the mixture "
                                             "(%2)")
                                  .arg(t.names, mixture.join(QStringLiteral(", "))),
                              err);
        }
        overrides.push_back(found.front());
    }
    in.kij = report::withOverrides(in.kij, overrides);
    in.z = feedFractions(r.outcome.state, r.outcome.fractions);
    in.blocks = ordered;
    return in;
}

QString mixtureInputHelp(bool envelope) {
    QString s = QStringLiteral(
        "The mixture: NAME=FRACTION pairs (at most 4) of components in the component\n"
        "database (see --db)%1, or --case FILE, the first line of a\n"
        "file of `zolvant-cli solve` cases. The case is run exactly as `solve` runs it: a\n"
        "mixture Solve refuses is refused here with the same title and message.\n"
        "\n"
        "Interaction parameters kij, in this order, each replacing the one before:\n"
        "  the database's pairs (tblKij): Peng-Robinson pairs for Peng-Robinson, PRSV1\n"
        "  and PRSV2, Soave-Redlich-Kwong pairs for Soave-Redlich-Kwong, none (0) for van\n"
        "  der Waals and Redlich-Kwong, 0 for a pair with none stored;\n"
        "  the case's \"kij\": one symmetric matrix (a row per component, in the case's\n"
        "  order) for every equation, or an object of such matrices keyed by equation\n"
        "  name, for those equations only;\n"
        "  --kij NAME1,NAME2=VALUE for that pair in every equation.\n"
        "Molar masses (for the densities) come from the database's MolWt.\n");
    return s.arg(envelope ? QString() : QStringLiteral(" with -T CELSIUS and -P BAR"));
}

}  // namespace zolvant::cli
