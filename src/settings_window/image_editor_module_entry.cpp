// The entry points of the photo editor module (see image_editor_module.h).
#include "settings_window/image_editor_module.h"
#include "settings_window/image_editor_view.h"

extern "C" Q_DECL_EXPORT int purrtick_image_editor_interface() {
    return ImageEditorModule::kInterfaceVersion;
}

extern "C" Q_DECL_EXPORT QDialog*
purrtick_open_image_editor(const ImageEditorModule::Request& request) {
    return new ImageEditorView(request.original, request.onCancel, request.onApply, *request.sound,
                               request.parent);
}
