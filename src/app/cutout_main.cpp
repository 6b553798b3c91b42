// purrtick-cutout INPUT OUTPUT.png: cuts the subject of a picture out of its background, as the
// photo editor does. Exit status 0 when the cut-out was written, 1 when no foreground was found,
// 2 when the input is not a picture or the arguments are wrong, 3 when a file cannot be read or
// written.
#include "cats/image_decoding.h"
#include "cats/image_editing.h"
#include "platform/safe_files.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments();
    const QString usage = QStringLiteral(
        "usage: purrtick-cutout INPUT OUTPUT.png\n"
        "Cuts the subject of a picture out of its background, trimmed to its outline.\n"
        "Exit status: 0 written, 1 no subject found, 2 not a picture or wrong arguments, 3 a file "
        "cannot be read or written.\n");
    if (args.size() == 2 &&
        (args[1] == QStringLiteral("--help") || args[1] == QStringLiteral("-h"))) {
        QTextStream(stdout) << usage;
        return 0;
    }
    if (args.size() != 3) {
        err << usage;
        return 2;
    }
    // Only a regular file of a size a picture can have; the decoder reads it as it needs.
    QString error;
    QFile input(args[1]);
    if (!SafeFiles::openRegular(input, ImageDecoding::kMaxFileBytes, &error)) {
        err << "purrtick-cutout: cannot read " << args[1] << ": " << error << '\n';
        return 3;
    }
    input.close();
    const std::optional<QImage> picture = ImageDecoding::decodeFile(args[1]);
    if (!picture) {
        err << "purrtick-cutout: " << args[1] << " is not a picture\n";
        return 2;
    }
    QString unusableModel;
    const ForegroundSegmentation::Result result =
        ImageEditing::cutOut(*picture, nullptr, &unusableModel);
    if (!unusableModel.isEmpty())
        err << "purrtick-cutout: 배경 제거 모델을 쓸 수 없어 기본 방법으로 합니다: "
            << unusableModel << '\n';
    if (!result.error.isEmpty()) {
        err << "purrtick-cutout: 배경을 지우지 못했어요: " << result.error << '\n';
        return 1;
    }
    const std::optional<QByteArray> png =
        result.cutout ? ImageEditing::encodedCutout(*result.cutout) : std::nullopt;
    if (!png) {
        err << "purrtick-cutout: " << args[1]
            << ": 고양이를 찾지 못했어요. 고양이 둘레로 자른 뒤 다시 해 보세요.\n";
        return 1;
    }
    if (!SafeFiles::write(args[2], *png, &error)) {
        err << "purrtick-cutout: cannot write " << args[2] << ": " << error << '\n';
        return 3;
    }
    return 0;
}
