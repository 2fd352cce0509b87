#include "report/whole_file.h"

#include <QSaveFile>

namespace zolvant::report {

QString writeWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit()) return file.errorString();
    return {};
}

}  // namespace zolvant::report
