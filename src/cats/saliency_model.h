#pragma once

#include <QString>

#include <memory>
#include <mutex>
#include <opencv2/core.hpp>
#include <opencv2/dnn.hpp>

// A salient-object network loaded from an ONNX file: given a photo, how likely each pixel is to
// belong to the subject. The input size, layout and first output are read from the file, so the
// upstream export (320 pixels, seven outputs, finest first), one with open sides and a converted
// copy (256 pixels, one output) all work. Safe to share between threads: one
// prediction runs at a time.
class SaliencyModel {
public:
    // The model in the file at `path`; nothing, with the reason in `error`, when it cannot be
    // read or loaded or does not take one colour picture.
    static std::shared_ptr<SaliencyModel> load(const QString& path, QString* error = nullptr);

    // The model the program uses: the first file SegmentationModelFile finds, loaded on first
    // use and kept; a file that appears later (a download) is found on the next call. Nothing
    // when there is none, or when it does not load: that is logged once per file, and `error`
    // gets the reason on every call (it stays untouched when there is no file at all).
    static std::shared_ptr<SaliencyModel> installed(QString* error = nullptr);

    cv::Size inputSize() const { return m_size; }
    QString path() const { return m_path; }

    // The network's raw output (CV_32F, 0 to 1) at its input size for a BGR picture.
    cv::Mat predict(const cv::Mat& bgr);

private:
    SaliencyModel() = default;

    QString m_path;
    cv::dnn::Net m_net;
    cv::Size m_size;
    bool m_channelsLast = false;
    // The graph output read as the answer; empty for OpenCV's default, the last.
    std::string m_output;
    std::mutex m_running;
};
