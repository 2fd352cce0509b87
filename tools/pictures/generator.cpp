#include "tools/pictures/generator.h"

#include <QSaveFile>

#include <exception>

namespace zolvant::drawing {
namespace {

bool saveWhole(const QImage &image, const QString &path, const char *format)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && image.save(&file, format) && file.commit();
}

bool save(const QImage &picture, const QDir &dir, const QString &name, bool png)
{
    // 24 bits per pixel, uncompressed: the BMP writer keeps RGB888 as it is.
    const QImage out = picture.convertToFormat(QImage::Format_RGB888);
    if (!saveWhole(out, dir.filePath(name + QStringLiteral(".bmp")), "BMP"))
        return false;
    return !png || saveWhole(out, dir.filePath(name + QStringLiteral(".png")), "PNG");
}

}  // namespace

int drawPictures(std::span<const Picture> pictures, const QDir &dir, bool png, QTextStream &err)
{
    for (const Picture &p : pictures) {
        QImage image;
        try {
            image = p.draw();
        } catch (const std::exception &e) {
            err << "zolvant-draw-pictures: cannot draw " << p.name << ": " << e.what() << "\n";
            return 1;
        }
        if (!save(image, dir, QString::fromLatin1(p.name), png)) {
            err << "zolvant-draw-pictures: cannot write " << p.name << " into " << dir.path() << "\n";
            return 1;
        }
    }
    return 0;
}

}  // namespace zolvant::drawing
