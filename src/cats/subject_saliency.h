#pragma once

#include <opencv2/core.hpp>

// How likely each pixel of a photo is to belong to its subject, from two cues measured against
// the picture's border band (which shows the surroundings): colour, and fine texture such as fur
// or grain. Both are judged in units of how much the border itself varies, so a busy, colourful
// background makes colour count for less and a flat one makes any texture stand out.
namespace SubjectSaliency {

// How much fine detail surrounds each pixel of `picture` (BGR, any size), in grey levels, at
// `size`. Flat areas and the outlines of flat shapes give nothing; fur, fabric and grain do.
cv::Mat fineDetail(const cv::Mat& picture, cv::Size size);

// The subject likelihood (CV_32F, 0 to 1) of `bgr`, given its fine detail at the same size and
// the width of the border band to compare against. A centre prior favours what is framed, and
// large regions of one colour that stand clear of the border count as subject whatever their
// colour.
cv::Mat score(const cv::Mat& bgr, const cv::Mat& detail, int band);

} // namespace SubjectSaliency
