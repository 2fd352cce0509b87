// Draws the calculator's pictures: the three phase-diagram figures of the
// help windows and the main window's background. Run by the build; writes
// one 24-bit uncompressed BMP per picture into the folder given, and PNG
// copies as well with --png (for looking at them).

#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QStringList>
#include <QTextStream>

#include "tools/pictures/figures.h"
#include "tools/pictures/generator.h"
#include "tools/pictures/markup.h"

namespace {

using namespace zolvant::drawing;

// The build names the pictures (ZOLVANT_PICTURES lists them as
// PICTURE(name)), and embeds the files of the same names: one list.
#define PICTURE(name) Picture{#name, &picture::name},
const Picture kPictures[] = {ZOLVANT_PICTURES};
#undef PICTURE

}  // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);
    const bool png = args.removeAll(QStringLiteral("--png")) > 0;
    if (args.size() != 1) {
        err << "usage: zolvant-draw-pictures [--png] OUTPUT_FOLDER\n";
        return 2;
    }
    for (const QString &family : {kSans, kSerif}) {
        if (!QFontDatabase::families().contains(family)) {
            err << "zolvant-draw-pictures: font \"" << family << "\" is not installed (fonts-liberation)\n";
            return 1;
        }
    }
    QDir dir(args.front());
    if (!dir.exists() && !QDir().mkpath(dir.path())) {
        err << "zolvant-draw-pictures: cannot create " << dir.path() << "\n";
        return 1;
    }
    return drawPictures(kPictures, dir, png, err);
}
