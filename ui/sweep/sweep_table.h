#pragma once
// The sweep's results as a table (a Qt item model over the kept points) and
// as curves (a chart for the renderer). Both read the points only.

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <string>
#include <vector>

#include "chart/chart.h"
#include "solver/sweep.h"
#include "solver/sweep_point.h"

namespace zolvant::ui {

enum class SweepQuantity { Z, VaporVolume, LiquidVolume };

// Point, T (°C), P (bar), then for each equation Liquid, Vapor, Z and
// Stable of the chosen row (a component 0..3, or kMixtureRow). A refused
// point shows its message in the first equation's Liquid column.
class SweepTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kLeadColumns = 3;
    static constexpr int kPerEquation = 4;

    explicit SweepTableModel(QObject* parent = nullptr);

    // A new sweep: no points yet, rows named as the mixture names them.
    void start(const std::array<std::string, 4>& names);
    void append(std::vector<SweepPoint>&& points);
    void setRow(int row);
    int row() const { return row_; }
    const std::vector<SweepPoint>& points() const { return points_; }
    const std::array<std::string, 4>& names() const { return names_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The cell's text as shown, and the header on one line.
    QString cellText(int point, int column) const;
    QString columnTitle(int column) const;
    // Tab-separated, the header first, CRLF-free lines ending in "\n".
    QString tabSeparated() const;

private:
    std::vector<SweepPoint> points_;
    std::array<std::string, 4> names_;
    int row_ = 0;
};

// The chosen quantity of `row` against the varied variable, one series per
// equation (the isotherm window's styles); a refused or "NA" point is a gap.
plot::Chart sweepChart(const std::vector<SweepPoint>& points, const std::vector<double>& values, SweepVariable variable,
                       int row, const QString& rowCaption, SweepQuantity quantity, bool logX);

}  // namespace zolvant::ui
