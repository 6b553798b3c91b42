#pragma once

#include <QImage>
#include <QPointF>
#include <QRect>

#include <vector>

// Touching up a cut-out by hand: a mask at the picture's full resolution over the picture the
// cut was made from, painted with a soft round brush that erases (the mask goes down) or
// restores (it comes back up, showing the picture's own pixels again). Each stroke is one step
// of undo and redo, which put the mask back byte for byte. No widgets: coordinates are the
// picture's pixels.
class MaskBrush {
public:
    enum class Mode { erase, restore };

    // The inner share of the brush's radius that is painted fully; beyond it the effect fades
    // to nothing at the rim.
    static constexpr double kHardness = 0.5;
    static constexpr int kMaxUndo = 30;

    // `source` gives the colours (its own transparency stays a limit), `mask` (8-bit, the same
    // size) how much of each pixel shows.
    MaskBrush(const QImage& source, const QImage& mask);

    // A stroke: pressed at a point, moved along a path, released. The radius is in pixels.
    void press(Mode mode, QPointF at, double radius);
    void moveTo(QPointF at);
    void release();
    bool isStroking() const { return m_stroking; }

    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_steps.size(); }
    void undo();
    void redo();

    const QImage& mask() const { return m_mask; }
    const QImage& source() const { return m_source; }
    // The source under the mask (premultiplied ARGB, full size), kept up to date as strokes go.
    const QImage& composed() const { return m_composed; }
    // The composed picture trimmed to what shows; the whole (transparent) frame when nothing
    // shows, so there is always a picture. `bounds` gets where it lies in the frame.
    QImage trimmed(QRect* bounds = nullptr) const;

private:
    struct Step {
        QRect rect;
        QImage before;
        QImage after;
    };

    void stamp(QPointF from, QPointF to);
    void compose(const QRect& rect);
    void put(const QImage& part, const QRect& rect);

    QImage m_source;
    QImage m_mask;
    QImage m_composed;

    // The stroke under way: the mask as it was, how strongly each pixel has been covered so far
    // (the strongest touch counts, so overlapping dabs do not build up), and what it reached.
    bool m_stroking = false;
    Mode m_mode = Mode::erase;
    double m_radius = 0;
    QPointF m_last;
    QImage m_base;
    QImage m_coverage;
    QRect m_touched;

    std::vector<Step> m_steps;
    size_t m_done = 0;
};
