#pragma once

#include <QString>

// Scores both background removals on a folder of real photos with hand-made masks:
// DIR/images/NAME.jpg, DIR/masks/NAME.png (255 = cat), optional DIR/ignore/NAME.png (255 = not
// scored). Prints IoU per photo and, per method, the mean, median, worst, shares below 0.8 and
// 0.5, how often it said "no subject", and the time per photo. With `outDir`, cut-outs are saved.
int evaluatePhotoFolder(const QString& dir, const QString& outDir);
