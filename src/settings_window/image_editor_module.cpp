#include "settings_window/image_editor_module.h"

#include "platform/log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <memory>

namespace ImageEditorModule {

QString defaultPath() {
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath(QStringLiteral("../" PURRTICK_MODULE_DIR "/purrtick-image-editor.so"));
}

namespace {

// The module's entry, resolved once; nothing when it cannot be used.
OpenFunction resolve(QLibrary& library) {
    if (!library.load()) {
        qCWarning(lcPurrtick, "사진 편집기를 불러오지 못했습니다: %s",
                  qPrintable(library.errorString()));
        return nullptr;
    }
    const auto version = reinterpret_cast<VersionFunction>(library.resolve(kVersionSymbol));
    if (!version || version() != kInterfaceVersion) {
        qCWarning(lcPurrtick, "사진 편집기 모듈이 이 프로그램과 맞지 않습니다: %s",
                  qPrintable(library.fileName()));
        return nullptr;
    }
    return reinterpret_cast<OpenFunction>(library.resolve(kOpenSymbol));
}

} // namespace

CatTab::EditorFactory factory(const QString& path, AlertSound& sound) {
    if (!QFileInfo(path).isFile())
        return {};
    struct Module {
        QLibrary library;
        bool tried = false;
        OpenFunction open = nullptr;
    };
    auto module = std::make_shared<Module>();
    module->library.setFileName(path);
    return [module, &sound](const QImage& original, std::function<void()> onCancel,
                            std::function<void(const QByteArray&)> onApply,
                            QWidget* parent) -> QDialog* {
        if (!module->tried) {
            module->tried = true;
            module->open = resolve(module->library);
        }
        if (!module->open)
            return nullptr;
        return module->open(
            Request{original, std::move(onCancel), std::move(onApply), &sound, parent});
    };
}

} // namespace ImageEditorModule
