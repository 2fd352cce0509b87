#include "ui/sweep/sweep_table.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/isotherm_chart.h"
#include "solver/text.h"

namespace zolvant::ui {
namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

const char* const kPerEquationTitles[] = {"Liquid", "Vapor", "Z", "Stable"};

}  // namespace

SweepTableModel::SweepTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void SweepTableModel::start(const std::array<std::string, 4>& names) {
    beginResetModel();
    points_.clear();
    names_ = names;
    endResetModel();
}

void SweepTableModel::append(std::vector<SweepPoint>&& points) {
    if (points.empty()) return;
    const int first = static_cast<int>(points_.size());
    beginInsertRows({}, first, first + static_cast<int>(points.size()) - 1);
    points_.insert(points_.end(), std::make_move_iterator(points.begin()), std::make_move_iterator(points.end()));
    endInsertRows();
}

void SweepTableModel::setRow(int row) {
    if (row == row_) return;
    row_ = row;
    if (!points_.empty()) emit dataChanged(index(0, kLeadColumns), index(rowCount() - 1, columnCount() - 1));
}

int SweepTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(points_.size());
}

int SweepTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kLeadColumns + kBlocks * kPerEquation;
}

QString SweepTableModel::cellText(int point, int column) const {
    if (point < 0 || point >= rowCount()) return {};
    const SweepPoint& p = points_[static_cast<std::size_t>(point)];
    switch (column) {
    case 0: return QString::number(point + 1);
    case 1: return qs(p.texts.temperature);
    case 2: return qs(p.texts.pressure);
    default: break;
    }
    const int block = (column - kLeadColumns) / kPerEquation;
    const int what = (column - kLeadColumns) % kPerEquation;
    if (!p.solved) return block == 0 && what == 0 ? qs(p.title) + QStringLiteral(": ") + qs(p.message) : QString();
    // A row Solve does not use has no cells; the mixture row exists only with two rows or more.
    if (row_ == kMixtureRow ? p.numComps < 2 : row_ >= p.numComps) return {};
    if (what == 3) {
        const auto s = p.stable(block, row_);
        return s ? QString::fromLatin1(stablePhaseText(*s)) : QString();
    }
    return qs(p.text(block, static_cast<Column>(what), row_));
}

QString SweepTableModel::columnTitle(int column) const {
    switch (column) {
    case 0: return QStringLiteral("Point");
    case 1: return QStringLiteral("T (\u00b0C)");
    case 2: return QStringLiteral("P (bar)");
    default: break;
    }
    const int block = (column - kLeadColumns) / kPerEquation;
    return QString::fromLatin1(blockName(block)) + QLatin1Char(' ') +
           QString::fromLatin1(kPerEquationTitles[(column - kLeadColumns) % kPerEquation]);
}

QVariant SweepTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) return cellText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() < kLeadColumns)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant SweepTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return QString::number(section + 1);
    if (section < kLeadColumns) return columnTitle(section);
    // Two lines keep the columns narrow.
    return QString::fromLatin1(blockName((section - kLeadColumns) / kPerEquation)) + QLatin1Char('\n') +
           QString::fromLatin1(kPerEquationTitles[(section - kLeadColumns) % kPerEquation]);
}

QString SweepTableModel::tabSeparated() const {
    QString out;
    QStringList fields;
    for (int c = 0; c < columnCount(); ++c) fields << columnTitle(c);
    out += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (int r = 0; r < rowCount(); ++r) {
        fields.clear();
        for (int c = 0; c < columnCount(); ++c) fields << cellText(r, c);
        out += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return out;
}

plot::Chart sweepChart(const std::vector<SweepPoint>& points, const std::vector<double>& values, SweepVariable variable,
                       int row, const QString& rowCaption, SweepQuantity quantity, bool logX) {
    static const char* const kQuantity[] = {"Z", "Vapor volume (cm\u00b3/mol)", "Liquid volume (cm\u00b3/mol)"};
    const auto q = static_cast<std::size_t>(quantity);
    const Column column = quantity == SweepQuantity::Z ? Column::Z
                          : quantity == SweepQuantity::VaporVolume ? Column::Vapour
                                                                   : Column::Liquid;
    const bool pressure = variable == SweepVariable::Pressure;
    plot::Chart c;
    c.title = QStringLiteral("%1 of %2").arg(QString::fromUtf8(kQuantity[q]).section(QLatin1Char(' '), 0, 1), rowCaption);
    c.x = {pressure ? QStringLiteral("Pressure P (bar)") : QStringLiteral("Temperature T (\u00b0C)"),
           logX ? plot::Scale::Log : plot::Scale::Linear, 0, 0};
    c.y = {QString::fromUtf8(kQuantity[q]), plot::Scale::Linear, 0, 0};

    const std::size_t n = std::min(points.size(), values.size());
    double xLow = INFINITY, xHigh = -INFINITY, yLow = INFINITY, yHigh = -INFINITY;
    for (int b = 0; b < kBlocks; ++b) {
        plot::Series s;
        s.name = QString::fromLatin1(blockName(b));
        s.style = plot::equationStyle(b);
        s.points.reserve(n);
        for (std::size_t i = 0; i < n; ++i) {
            const double x = values[i];
            double y = std::numeric_limits<double>::quiet_NaN();
            const SweepPoint& p = points[i];
            const bool inUse = row == kMixtureRow ? p.numComps >= 2 : row < p.numComps;
            if (p.solved && inUse)
                if (const auto v = readNumber(p.text(b, column, row)); v && std::isfinite(*v)) y = *v;
            if (logX && !(x > 0)) continue;
            s.points.push_back({x, y});
            xLow = std::min(xLow, x);
            xHigh = std::max(xHigh, x);
            if (std::isfinite(y)) {
                yLow = std::min(yLow, y);
                yHigh = std::max(yHigh, y);
            }
        }
        c.series.push_back(std::move(s));
        c.legend.push_back({QString::fromLatin1(blockName(b)), plot::equationStyle(b), std::nullopt});
    }
    if (!(yLow <= yHigh) || !(xLow < xHigh)) {
        c.series.clear();
        c.legend.clear();
        c.emptyText = points.empty() ? QStringLiteral("No sweep yet: choose the range and press Run.")
                                     : QStringLiteral("Nothing to draw: no point of this row has a value here.");
        return c;
    }
    // A flat curve still gets a band to sit in.
    const double pad = yHigh > yLow ? (yHigh - yLow) * 0.05 : std::max(std::fabs(yHigh) * 0.05, 1e-3);
    c.x.low = xLow;
    c.x.high = xHigh;
    c.y.low = yLow - pad;
    c.y.high = yHigh + pad;
    return c;
}

}  // namespace zolvant::ui
