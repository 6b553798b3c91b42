#pragma once

#include "settings_window/cat_tab.h"

#include <QByteArray>
#include <QImage>

#include <functional>

class AlertSound;
class QDialog;
class QWidget;

// The photo editor lives in a module of its own, loaded the first time a photo is edited: it
// links OpenCV, whose libraries would otherwise be loaded at every start for a dialog most
// runs never open.
namespace ImageEditorModule {

// What the program hands the module to open an editor.
struct Request {
    QImage original;
    std::function<void()> onCancel;
    std::function<void(const QByteArray&)> onApply;
    AlertSound* sound;
    QWidget* parent;
};

// Raised whenever Request or the entry points change, so a module of another build is refused.
inline constexpr int kInterfaceVersion = 1;
inline constexpr char kVersionSymbol[] = "purrtick_image_editor_interface";
inline constexpr char kOpenSymbol[] = "purrtick_open_image_editor";
using VersionFunction = int (*)();
using OpenFunction = QDialog* (*)(const Request&);

// Where the module is: the program's module folder (lib/<multiarch>/purrtick) beside its bin
// folder, in the build tree and in an installed prefix alike.
QString defaultPath();

// Opens editors from the module at `path`, loaded on first use. Nothing (the editor is not
// offered) when there is no module there; a module that fails to load is logged and opens none.
CatTab::EditorFactory factory(const QString& path, AlertSound& sound);

} // namespace ImageEditorModule
