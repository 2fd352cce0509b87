#include "ui/plot/save_as.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "chart/chart_export.h"
#include "report/whole_file.h"
#include "ui/common/services.h"

namespace zolvant::ui {
namespace {

QString& lastFolder() {
    static QString folder;
    return folder;
}

// Asks for the path; "" when cancelled.
QString askPath(QWidget* parent, const QString& suggestedName, const QString& filter) {
    return services().saveFileName(parent, QDir(saveFolder()).filePath(suggestedName), filter);
}

// Reports a failure, or remembers the folder of the file written.
QString finish(QWidget* parent, const QString& path, const QString& what, const QString& why) {
    if (!why.isEmpty()) {
        services().message(parent,
                           QStringLiteral("The %1 could not be saved to %2\n%3").arg(what, QDir::toNativeSeparators(path), why),
                           QStringLiteral("Save ERROR"));
        return {};
    }
    lastFolder() = QFileInfo(path).absolutePath();
    return path;
}

}  // namespace

QString saveFolder() {
    if (!lastFolder().isEmpty()) return lastFolder();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QDir(documents).exists()) return documents;
    return QDir::homePath();
}

QString saveBytesAs(QWidget* parent, const QString& suggestedName, const QString& filter, const QString& what,
                    const std::function<QByteArray()>& bytes) {
    const QString path = askPath(parent, suggestedName, filter);
    if (path.isEmpty()) return {};
    return finish(parent, path, what, report::writeWholeFile(path, bytes()));
}

QString saveChartAs(QWidget* parent, const plot::Chart& chart, QSize size, double scale, const QString& suggestedName) {
    QString path = askPath(parent, suggestedName, QStringLiteral("PNG image (*.png);;SVG image (*.svg)"));
    if (path.isEmpty()) return {};
    if (!path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive) && !path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        path += QStringLiteral(".png");
    return finish(parent, path, QStringLiteral("image"), plot::writeChartFile(chart, path, size, scale));
}

}  // namespace zolvant::ui
