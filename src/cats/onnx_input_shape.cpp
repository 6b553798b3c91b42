#include "cats/onnx_input_shape.h"

#include <QSet>

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
    };

    // The next record; nothing at the end or on malformed input (`failed()` tells which).
    std::optional<Field> next() {
        if (m_at >= m_end || m_failed)
            return std::nullopt;
        Field field;
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
constexpr quint32 kGraphInitializer = 5, kGraphInput = 11;
constexpr quint32 kTensorName = 8;
constexpr quint32 kValueInfoName = 1, kValueInfoType = 2;
constexpr quint32 kTypeTensor = 1, kTensorTypeShape = 2;
constexpr quint32 kShapeDim = 1, kDimValue = 1;

QByteArray textOf(const Reader::Field& field) {
    return QByteArray(field.data, field.size);
}

std::optional<QList<qint64>> shapeOf(const Reader::Field& type) {
    Reader typeReader = inside(type);
    while (const auto tensor = typeReader.next()) {
        if (tensor->number != kTypeTensor || tensor->wireType != 2)
            continue;
        Reader tensorReader = inside(*tensor);
        while (const auto shape = tensorReader.next()) {
            if (shape->number != kTensorTypeShape || shape->wireType != 2)
                continue;
            QList<qint64> dims;
            Reader shapeReader = inside(*shape);
            while (const auto dim = shapeReader.next()) {
                if (dim->number != kShapeDim || dim->wireType != 2)
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

} // namespace

std::optional<QList<qint64>> onnxInputShape(const QByteArray& model) {
    Reader modelReader(model.constData(), model.constData() + model.size());
    while (const auto graph = modelReader.next()) {
        if (graph->number != kModelGraph || graph->wireType != 2)
            continue;
        // Older exports list every weight as a graph input too.
        QSet<QByteArray> weights;
        Reader weightsReader = inside(*graph);
        while (const auto field = weightsReader.next()) {
            if (field->number != kGraphInitializer || field->wireType != 2)
                continue;
            Reader tensor = inside(*field);
            while (const auto part = tensor.next())
                if (part->number == kTensorName && part->wireType == 2)
                    weights.insert(textOf(*part));
        }
        Reader inputs = inside(*graph);
        while (const auto field = inputs.next()) {
            if (field->number != kGraphInput || field->wireType != 2)
                continue;
            QByteArray name;
            std::optional<Reader::Field> type;
            Reader info = inside(*field);
            while (const auto part = info.next()) {
                if (part->number == kValueInfoName && part->wireType == 2)
                    name = textOf(*part);
                else if (part->number == kValueInfoType && part->wireType == 2)
                    type = part;
            }
            if (weights.contains(name) || !type)
                continue;
            return shapeOf(*type);
        }
        return std::nullopt;
    }
    return std::nullopt;
}
