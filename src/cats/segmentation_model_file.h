#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// The learned model behind background removal: a small salient-object network (U²-Net-p,
// Apache-2.0) that the program downloads on the user's word, since it may not ship it. A copy a
// distribution installed, or one put in place by hand, is used as found.
namespace SegmentationModelFile {

inline constexpr char kFileName[] = "u2netp.onnx";
// The upstream release other programs download, pinned by its MD5 as they pin it.
inline constexpr char kDownloadUrl[] =
    "https://github.com/danielgatis/rembg/releases/download/v0.0.0/u2netp.onnx";
inline constexpr char kMd5[] = "8e83ca70e441ab06c318d82300c84806";
// More than the 4.4 MB the file weighs; a larger body is not the model.
inline constexpr qint64 kMaxBytes = 8LL * 1024 * 1024;

// Where a download is stored: $XDG_DATA_HOME/Purrtick/models/u2netp.onnx.
QString downloadPath();

// Where the model is looked for, in order: the folder named by PURRTICK_MODEL_DIR, the
// downloaded copy, then <prefix>/share/purrtick/models beside the executable's bin folder.
QStringList
candidates(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

// The first candidate that is a file; in the PURRTICK_MODEL_DIR folder a file named
// u2netp_*.onnx (a converted copy) also counts.
std::optional<QString>
find(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

} // namespace SegmentationModelFile
