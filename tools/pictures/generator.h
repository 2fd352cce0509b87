#pragma once
// Draws pictures and writes them into a folder: what zolvant-draw-pictures
// does, apart from reading its arguments.

#include <QDir>
#include <QImage>
#include <QTextStream>

#include <span>

namespace zolvant::drawing {

struct Picture {
    const char *name;  // the file is name.bmp (and name.png)
    QImage (*draw)();
};

// Draws each picture and writes it as a 24-bit uncompressed BMP, with a PNG
// copy when `png` is set. Each file is written whole or not at all. At the
// first picture that cannot be drawn or written, says why on `err` and
// returns 1; 0 when all are written.
int drawPictures(std::span<const Picture> pictures, const QDir &dir, bool png, QTextStream &err);

}  // namespace zolvant::drawing
