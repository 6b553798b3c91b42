#include "cats/onnx_graph.h"

#include <QSet>

#include <functional>

namespace {

// A protocol-buffer message: a run of (field number, wire type, value) records.
class Reader {
public:
    Reader(const char* begin, const char* end)
        : m_at(begin)
        , m_end(end) {}

    struct Field {
        quint32 number = 0;
        int wireType = 0;
        quint64 value = 0;          // varints and fixed values
        const char* data = nullptr; // length-delimited contents
        qsizetype size = 0;
        const char* start = nullptr; // where the record begins, key included
        const char* end = nullptr;
    };

    // The next record; nothing at the end or on malformed input (`failed()` tells which).
    std::optional<Field> next() {
        if (m_at >= m_end || m_failed)
            return std::nullopt;
        Field field;
        field.start = m_at;
        const std::optional<quint64> key = varint();
        if (!key)
            return fail();
        field.number = quint32(*key >> 3);
        field.wireType = int(*key & 7);
        switch (field.wireType) {
        case 0: {
            const std::optional<quint64> v = varint();
            if (!v)
                return fail();
            field.value = *v;
            break;
        }
        case 1:
            if (m_end - m_at < 8)
                return fail();
            m_at += 8;
            break;
        case 2: {
            const std::optional<quint64> length = varint();
            if (!length || *length > quint64(m_end - m_at))
                return fail();
            field.data = m_at;
            field.size = qsizetype(*length);
            m_at += *length;
            break;
        }
        case 5:
            if (m_end - m_at < 4)
                return fail();
            m_at += 4;
            break;
        default:
            return fail();
        }
        field.end = m_at;
        return field;
    }

    bool failed() const { return m_failed; }

private:
    std::optional<quint64> varint() {
        quint64 value = 0;
        for (int shift = 0; shift < 64 && m_at < m_end; shift += 7) {
            const auto byte = quint8(*m_at++);
            value |= quint64(byte & 0x7f) << shift;
            if (!(byte & 0x80))
                return value;
        }
        return std::nullopt;
    }
    std::optional<Field> fail() {
        m_failed = true;
        return std::nullopt;
    }

    const char* m_at;
    const char* m_end;
    bool m_failed = false;
};

Reader inside(const Reader::Field& field) {
    return Reader(field.data, field.data + field.size);
}

// Field numbers of onnx.proto.
constexpr quint32 kModelGraph = 7;
constexpr quint32 kGraphInitializer = 5, kGraphInput = 11, kGraphOutput = 12;
constexpr quint32 kTensorName = 8;
constexpr quint32 kValueInfoName = 1, kValueInfoType = 2;
constexpr quint32 kTypeTensor = 1, kTensorTypeShape = 2;
constexpr quint32 kShapeDim = 1, kDimValue = 1;

QByteArray textOf(const Reader::Field& field) {
    return QByteArray(field.data, field.size);
}

bool isMessage(const Reader::Field& field, quint32 number) {
    return field.number == number && field.wireType == 2;
}

void appendVarint(QByteArray& out, quint64 value) {
    do {
        quint8 byte = value & 0x7f;
        value >>= 7;
        if (value)
            byte |= 0x80;
        out.append(char(byte));
    } while (value);
}

void appendMessage(QByteArray& out, quint32 number, const QByteArray& contents) {
    appendVarint(out, quint64(number) << 3 | 2);
    appendVarint(out, quint64(contents.size()));
    out.append(contents);
}

// The message with each nested message numbered `number` passed through `change` (which gives
// its new contents, or nothing to keep it); every other record is copied as it was.
using Change = std::function<std::optional<QByteArray>(const Reader::Field&)>;
std::optional<QByteArray> rewritten(const Reader::Field& message, quint32 number,
                                    const Change& change) {
    QByteArray out;
    Reader reader = inside(message);
    while (const auto field = reader.next()) {
        std::optional<QByteArray> replaced;
        if (isMessage(*field, number))
            replaced = change(*field);
        if (replaced)
            appendMessage(out, number, *replaced);
        else
            out.append(field->start, field->end - field->start);
    }
    if (reader.failed())
        return std::nullopt;
    return out;
}

std::optional<QList<qint64>> shapeOf(const Reader::Field& type) {
    Reader typeReader = inside(type);
    while (const auto tensor = typeReader.next()) {
        if (!isMessage(*tensor, kTypeTensor))
            continue;
        Reader tensorReader = inside(*tensor);
        while (const auto shape = tensorReader.next()) {
            if (!isMessage(*shape, kTensorTypeShape))
                continue;
            QList<qint64> dims;
            Reader shapeReader = inside(*shape);
            while (const auto dim = shapeReader.next()) {
                if (!isMessage(*dim, kShapeDim))
                    continue;
                qint64 value = -1;
                Reader dimReader = inside(*dim);
                while (const auto part = dimReader.next())
                    if (part->number == kDimValue && part->wireType == 0)
                        value = qint64(part->value);
                dims.append(value);
            }
            if (shapeReader.failed())
                return std::nullopt;
            return dims;
        }
    }
    return std::nullopt;
}

struct ValueInfo {
    QByteArray name;
    std::optional<Reader::Field> type;
};

ValueInfo valueInfoOf(const Reader::Field& field) {
    ValueInfo info;
    Reader reader = inside(field);
    while (const auto part = reader.next()) {
        if (isMessage(*part, kValueInfoName))
            info.name = textOf(*part);
        else if (isMessage(*part, kValueInfoType))
            info.type = part;
    }
    return info;
}

// The graph message of a model; nothing when there is none.
std::optional<Reader::Field> graphOf(const QByteArray& model) {
    Reader modelReader(model.constData(), model.constData() + model.size());
    while (const auto field = modelReader.next())
        if (isMessage(*field, kModelGraph))
            return field;
    return std::nullopt;
}

// The shape message for `dims`: known sizes as values; open ones keep the dimension the file
// had there (often a name such as "height"), or are left unnamed.
QByteArray shapeMessage(const Reader::Field& old, const QList<qint64>& dims) {
    QList<QByteArray> oldDims;
    Reader reader = inside(old);
    while (const auto dim = reader.next())
        if (isMessage(*dim, kShapeDim))
            oldDims.append(textOf(*dim));
    QByteArray shape;
    for (qsizetype i = 0; i < dims.size(); ++i) {
        QByteArray dim;
        if (dims[i] >= 0) {
            appendVarint(dim, quint64(kDimValue) << 3);
            appendVarint(dim, quint64(dims[i]));
        } else {
            dim = oldDims.value(i);
        }
        appendMessage(shape, kShapeDim, dim);
    }
    return shape;
}

} // namespace

namespace OnnxGraph {

std::optional<Declared> read(const QByteArray& model) {
    const std::optional<Reader::Field> graph = graphOf(model);
    if (!graph)
        return std::nullopt;
    // Older exports list every weight as a graph input too.
    QSet<QByteArray> weights;
    Reader weightsReader = inside(*graph);
    while (const auto field = weightsReader.next()) {
        if (!isMessage(*field, kGraphInitializer))
            continue;
        Reader tensor = inside(*field);
        while (const auto part = tensor.next())
            if (isMessage(*part, kTensorName))
                weights.insert(textOf(*part));
    }
    std::optional<Declared> declared;
    QList<QByteArray> outputs;
    Reader fields = inside(*graph);
    while (const auto field = fields.next()) {
        if (isMessage(*field, kGraphOutput)) {
            outputs.append(valueInfoOf(*field).name);
        } else if (!declared && isMessage(*field, kGraphInput)) {
            const ValueInfo info = valueInfoOf(*field);
            if (weights.contains(info.name) || !info.type)
                continue;
            const std::optional<QList<qint64>> shape = shapeOf(*info.type);
            if (!shape)
                return std::nullopt;
            declared = Declared{info.name, *shape, {}};
        }
    }
    if (!declared || fields.failed())
        return std::nullopt;
    declared->outputNames = outputs;
    return declared;
}

std::optional<QByteArray> withInputShape(const QByteArray& model, const QList<qint64>& shape) {
    const std::optional<Declared> declared = read(model);
    if (!declared)
        return std::nullopt;
    const Reader::Field whole{0, 2, 0, model.constData(), model.size(), nullptr, nullptr};
    return rewritten(whole, kModelGraph, [&](const Reader::Field& graph) {
        return rewritten(graph, kGraphInput, [&](const Reader::Field& input) {
            if (valueInfoOf(input).name != declared->inputName)
                return std::optional<QByteArray>();
            return rewritten(input, kValueInfoType, [&](const Reader::Field& type) {
                return rewritten(type, kTypeTensor, [&](const Reader::Field& tensor) {
                    return rewritten(tensor, kTensorTypeShape, [&](const Reader::Field& old) {
                        return std::optional(shapeMessage(old, shape));
                    });
                });
            });
        });
    });
}

} // namespace OnnxGraph
