#pragma once

#include <QByteArray>
#include <QList>

// A minimal ONNX model written from scratch, for tests that need a file OpenCV loads without
// the real network: input "input" of the given shape (N, C, H, W), a 1 × 1 convolution that sums
// the channels, then a sigmoid, as "output" (N, 1, H, W). With `weightsAsInput`, the weight is
// also listed as a graph input ahead of the picture, as older exports do.
//
// Options shape it like the real exports: `sideOutput` adds a second graph output computed after
// the first (the sigmoid of the negated sum, so a bright picture gives a dark map), as the
// network's coarser side maps follow its finest; `resizeToInput` sends the map through a
// Resize whose sizes a `Shape` node reads from the input, which an importer can only follow
// when the input's size is known.
namespace TinyOnnx {

namespace detail {

inline void varint(QByteArray& out, quint64 value) {
    do {
        quint8 byte = value & 0x7f;
        value >>= 7;
        if (value)
            byte |= 0x80;
        out.append(char(byte));
    } while (value);
}
inline void key(QByteArray& out, int field, int wire) {
    varint(out, quint64(field) << 3 | quint64(wire));
}
inline void number(QByteArray& out, int field, qint64 value) {
    key(out, field, 0);
    varint(out, quint64(value));
}
inline void bytes(QByteArray& out, int field, const QByteArray& value) {
    key(out, field, 2);
    varint(out, quint64(value.size()));
    out.append(value);
}

inline QByteArray valueInfo(const QByteArray& name, const QList<qint64>& dims) {
    QByteArray shape;
    for (qint64 d : dims) {
        QByteArray dim;
        if (d >= 0)
            number(dim, 1, d);
        else
            bytes(dim, 2, "n");
        bytes(shape, 1, dim);
    }
    QByteArray tensor;
    number(tensor, 1, 1); // float
    bytes(tensor, 2, shape);
    QByteArray type;
    bytes(type, 1, tensor);
    QByteArray info;
    bytes(info, 1, name);
    bytes(info, 2, type);
    return info;
}

inline QByteArray node(const QByteArrayList& inputs, const QByteArray& output, const QByteArray& op,
                       const QByteArray& attributes = {}) {
    QByteArray n;
    for (const QByteArray& input : inputs)
        bytes(n, 1, input);
    bytes(n, 2, output);
    bytes(n, 3, output + "_node");
    bytes(n, 4, op);
    if (!attributes.isEmpty())
        bytes(n, 5, attributes);
    return n;
}

struct Options {
    // The convolution's weight: 0 gives a map of 0.5 everywhere, a model unsure of everything.
    float weight = 1.0f;
    bool weightsAsInput = false;
    bool sideOutput = false;
    bool resizeToInput = false;
};

inline QByteArray emptyFloats(const QByteArray& name) {
    QByteArray tensor;
    number(tensor, 1, 0);
    number(tensor, 2, 1); // float
    bytes(tensor, 8, name);
    return tensor;
}

} // namespace detail

using detail::Options;

inline QByteArray model(const QList<qint64>& inputShape, Options options) {
    using namespace detail;
    QByteArray weight;
    number(weight, 1, 1);
    number(weight, 1, inputShape.value(1, 3));
    number(weight, 1, 1);
    number(weight, 1, 1);
    number(weight, 2, 1); // float
    bytes(weight, 8, "w");
    QByteArray raw;
    for (int c = 0; c < inputShape.value(1, 3); ++c) {
        raw.append(reinterpret_cast<const char*>(&options.weight), sizeof options.weight);
    }
    bytes(weight, 9, raw);

    QByteArray kernel;
    bytes(kernel, 1, "kernel_shape");
    number(kernel, 8, 1);
    number(kernel, 8, 1);
    number(kernel, 20, 7); // INTS

    QByteArray graph;
    bytes(graph, 1, node({"input", "w"}, "summed", "Conv", kernel));
    if (options.resizeToInput) {
        QByteArray nearest;
        bytes(nearest, 1, "mode");
        bytes(nearest, 4, "nearest");
        number(nearest, 20, 3); // STRING
        bytes(graph, 1, node({"summed"}, "squashed", "Sigmoid"));
        bytes(graph, 1, node({"input"}, "size", "Shape"));
        bytes(graph, 1, node({"squashed", "roi", "scales", "size"}, "output", "Resize", nearest));
        bytes(graph, 5, emptyFloats("roi"));
        bytes(graph, 5, emptyFloats("scales"));
    } else {
        bytes(graph, 1, node({"summed"}, "output", "Sigmoid"));
    }
    if (options.sideOutput) {
        bytes(graph, 1, node({"summed"}, "negated", "Neg"));
        bytes(graph, 1, node({"negated"}, "side", "Sigmoid"));
    }
    bytes(graph, 2, "tiny");
    bytes(graph, 5, weight);
    if (options.weightsAsInput)
        bytes(graph, 11, valueInfo("w", {1, inputShape.value(1, 3), 1, 1}));
    bytes(graph, 11, valueInfo("input", inputShape));
    QList<qint64> outputShape = inputShape;
    if (outputShape.size() == 4)
        outputShape[1] = 1;
    bytes(graph, 12, valueInfo("output", outputShape));
    if (options.sideOutput)
        bytes(graph, 12, valueInfo("side", outputShape));

    QByteArray opset;
    bytes(opset, 1, "");
    number(opset, 2, 11);
    QByteArray m;
    number(m, 1, 7); // IR version
    bytes(m, 8, opset);
    bytes(m, 7, graph);
    return m;
}

inline QByteArray model(const QList<qint64>& inputShape, bool weightsAsInput = false) {
    Options options;
    options.weightsAsInput = weightsAsInput;
    return model(inputShape, options);
}

} // namespace TinyOnnx
