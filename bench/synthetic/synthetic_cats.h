#pragma once

#include "cats/foreground_segmentation.h"

#include <QImage>

// Composite pictures of drawn cats over varied backgrounds, with the exact foreground mask, for
// measuring the background removal.
struct SyntheticCat {
    QString name;
    QImage picture; // premultiplied ARGB, opaque
    QImage truth;   // Grayscale8, 255 where the cat is
};

// Case `index` (any integer; the cases cycle through fur and background kinds) at this size.
SyntheticCat makeSyntheticCat(int index, QSize size);

// One of the built-in artworks, drawn large over background kind `index % 6`; the truth is its
// alpha channel.
SyntheticCat makeArtworkCat(int index, const QImage& artwork, const QString& artworkName,
                            QSize size);

// Intersection over union of the cut-out's alpha (above half) against the truth.
double intersectionOverUnion(const SyntheticCat& cat, const ForegroundSegmentation::Result& result);
