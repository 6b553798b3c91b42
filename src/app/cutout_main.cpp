// purrtick-cutout INPUT OUTPUT.png: cuts the subject of a picture out of its background, as the
// photo editor does. Exit status 0 when the cut-out was written, 1 when no foreground was found,
// 2 when the input is not a picture, 3 when a file cannot be read or written.
#include "cats/image_decoding.h"
#include "cats/image_editing.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        err << "usage: purrtick-cutout INPUT OUTPUT.png\n";
        return 3;
    }
    QFile input(args[1]);
    if (!input.open(QIODevice::ReadOnly)) {
        err << "purrtick-cutout: cannot read " << args[1] << ": " << input.errorString() << '\n';
        return 3;
    }
    const QByteArray bytes = input.readAll();
    if (!ImageDecoding::decode(bytes)) {
        err << "purrtick-cutout: " << args[1] << " is not a picture\n";
        return 2;
    }
    const std::optional<QByteArray> png = ImageEditing::removeBackgroundPNG(bytes);
    if (!png) {
        err << "purrtick-cutout: no foreground found in " << args[1] << '\n';
        return 1;
    }
    QSaveFile output(args[2]);
    if (!output.open(QIODevice::WriteOnly) || output.write(*png) != png->size() ||
        !output.commit()) {
        err << "purrtick-cutout: cannot write " << args[2] << ": " << output.errorString() << '\n';
        return 3;
    }
    return 0;
}
