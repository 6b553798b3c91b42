#pragma once

#include <opencv2/core.hpp>

// The colours of a cut-out's soft edge. A pixel the mask keeps in part shows the subject and
// the background mixed (the grass between the hairs of a cat's outline); kept with its photo
// colour, it leaves a green or grey halo on any other background. Here the background's share
// is taken out: the background colour is estimated from the surroundings' pixels nearby, the
// subject's colour solved from the mix, and, where the pixel is mostly background and the
// solution unsteady, taken from the subject's own pixels nearby.
namespace EdgeColours {

// Makes `bgr` (8-bit, 3 channels) the colours to show under `alpha` (8-bit, the mask, of the
// same size): unchanged wherever alpha is 0, and where it is 255 away from the edge.
void cleanEdges(cv::Mat& bgr, const cv::Mat& alpha);

} // namespace EdgeColours
