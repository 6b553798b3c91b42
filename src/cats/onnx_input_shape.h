#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// The shape an ONNX model file declares for its first real input (graph inputs that merely
// name stored weights are skipped), read straight from the protocol-buffer encoding: OpenCV
// loads a model without saying what input it was exported for. Dimensions without a fixed size
// read as -1. Nothing when the bytes are not a model this reader understands.
std::optional<QList<qint64>> onnxInputShape(const QByteArray& model);
