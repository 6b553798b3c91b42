#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// What an ONNX model file declares about its graph, read straight from the protocol-buffer
// encoding: OpenCV loads a model without saying what input it was exported for, and asks for
// its last output when none is named.
namespace OnnxGraph {

struct Declared {
    // The first real input (graph inputs that merely name stored weights are skipped): its name
    // and shape, with -1 for dimensions left open.
    QByteArray inputName;
    QList<qint64> inputShape;
    // The graph's outputs in the order the file lists them.
    QList<QByteArray> outputNames;
};

// Nothing when the bytes are not a model this reader understands or declare no real input.
std::optional<Declared> read(const QByteArray& model);

// The model with `shape` written as its first real input's declared shape, everything else
// byte for byte as it was: an export that leaves the picture's size open then loads in OpenCV,
// whose importer cannot follow a `Shape` node over open dimensions. Nothing when the bytes are
// not a model this reader understands.
std::optional<QByteArray> withInputShape(const QByteArray& model, const QList<qint64>& shape);

} // namespace OnnxGraph
