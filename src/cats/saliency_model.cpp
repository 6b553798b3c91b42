#include "cats/saliency_model.h"

#include "cats/onnx_graph.h"
#include "cats/segmentation_model_file.h"
#include "platform/log.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <opencv2/imgproc.hpp>

namespace {

// What the export leaves open (a dynamic side) is given the size the upstream model was
// trained at.
constexpr int kDefaultSide = 320;
constexpr qint64 kMaxModelBytes = 256LL * 1024 * 1024;

} // namespace

std::shared_ptr<SaliencyModel> SaliencyModel::load(const QString& path, QString* error) {
    auto fail = [error](const QString& why) -> std::shared_ptr<SaliencyModel> {
        if (error)
            *error = why;
        return nullptr;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    if (file.size() > kMaxModelBytes)
        return fail(QStringLiteral("모델 파일이 너무 큽니다"));
    QByteArray bytes = file.readAll();
    const std::optional<OnnxGraph::Declared> declared = OnnxGraph::read(bytes);
    if (!declared || declared->inputShape.size() != 4)
        return fail(QStringLiteral("모델의 입력 형식을 읽을 수 없습니다"));
    QList<qint64> shape = declared->inputShape;
    std::shared_ptr<SaliencyModel> model(new SaliencyModel);
    model->m_path = path;
    const int channels = shape[1] == 3 ? 1 : shape[3] == 3 ? 3 : 0;
    if (channels == 0)
        return fail(QStringLiteral("색 사진 한 장을 받는 모델이 아닙니다"));
    model->m_channelsLast = channels == 3;
    // Open dimensions get one picture at the size the network was trained at, written into the
    // file's declared input: OpenCV's importer cannot work out the sizes a `Shape` node reads
    // from an open input.
    const int heightAt = model->m_channelsLast ? 1 : 2;
    if (shape.contains(-1)) {
        shape[0] = 1;
        for (int i : {heightAt, heightAt + 1})
            shape[i] = shape[i] > 0 ? shape[i] : kDefaultSide;
        const std::optional<QByteArray> fixed = OnnxGraph::withInputShape(bytes, shape);
        if (!fixed)
            return fail(QStringLiteral("모델의 입력 형식을 읽을 수 없습니다"));
        bytes = *fixed;
    }
    model->m_size = cv::Size(int(shape[heightAt + 1]), int(shape[heightAt]));
    try {
        model->m_net = cv::dnn::readNetFromONNX(bytes.constData(), size_t(bytes.size()));
    } catch (const cv::Exception& e) {
        return fail(QString::fromStdString(e.msg));
    }
    if (model->m_net.empty())
        return fail(QStringLiteral("모델을 불러오지 못했습니다"));
    // Exports of the network list its fused, finest map first and its coarser side maps after
    // it; asked for nothing, OpenCV would answer with the last, the coarsest.
    if (!declared->outputNames.isEmpty()) {
        const std::string first = declared->outputNames.first().toStdString();
        if (model->m_net.getLayerId(first) >= 0)
            model->m_output = first;
        else
            qCWarning(lcPurrtick,
                      "배경 제거 모델의 첫 출력 %s을(를) 찾지 못해 마지막 출력을 씁니다",
                      first.c_str());
    }
    model->m_net.setPreferableBackend(cv::dnn::DNN_BACKEND_OPENCV);
    model->m_net.setPreferableTarget(cv::dnn::DNN_TARGET_CPU);
    return model;
}

std::shared_ptr<SaliencyModel> SaliencyModel::installed(QString* error) {
    static std::mutex guard;
    static std::shared_ptr<SaliencyModel> loaded;
    // The file that would not load, as it was then: a new download in its place is tried again.
    static QString failedFile;
    static QString failure;
    const std::lock_guard lock(guard);
    const std::optional<QString> path = SegmentationModelFile::find();
    if (!path)
        return nullptr;
    if (loaded && loaded->path() == *path)
        return loaded;
    const QFileInfo info(*path);
    const QString file = *path + u'\n' + QString::number(info.size()) + u'\n' +
                         QString::number(info.lastModified().toMSecsSinceEpoch());
    if (file != failedFile) {
        loaded = load(*path, &failure);
        if (loaded) {
            failedFile.clear();
            return loaded;
        }
        failedFile = file;
        qCWarning(lcPurrtick, "배경 제거 모델을 쓸 수 없습니다: %s: %s", qPrintable(*path),
                  qPrintable(failure));
    }
    if (error)
        *error = failure;
    return nullptr;
}

cv::Mat SaliencyModel::predict(const cv::Mat& bgr) {
    // RGB, resized to the input, divided by its own maximum, then ImageNet's mean and deviation.
    cv::Mat rgb;
    cv::cvtColor(bgr, rgb, cv::COLOR_BGR2RGB);
    cv::resize(rgb, rgb, m_size, 0, 0, rgb.cols > m_size.width ? cv::INTER_AREA : cv::INTER_LINEAR);
    cv::Mat input;
    double highest = 0;
    cv::minMaxLoc(rgb.reshape(1), nullptr, &highest);
    rgb.convertTo(input, CV_32FC3, 1.0 / std::max(highest, 1e-6));
    cv::subtract(input, cv::Scalar(0.485, 0.456, 0.406), input);
    cv::divide(input, cv::Scalar(0.229, 0.224, 0.225), input);
    cv::Mat blob;
    if (m_channelsLast) {
        const int dims[] = {1, m_size.height, m_size.width, 3};
        blob = input.clone().reshape(1, 4, dims);
    } else {
        blob = cv::dnn::blobFromImage(input);
    }
    const std::lock_guard lock(m_running);
    m_net.setInput(blob);
    const cv::Mat output = m_output.empty() ? m_net.forward() : m_net.forward(m_output);
    // The first output: 1 × 1 × H × W (or H × W × 1), whatever size the network ends at.
    const int h = output.dims == 4 ? output.size[m_channelsLast ? 1 : 2] : output.size[0];
    const int w = output.dims == 4 ? output.size[m_channelsLast ? 2 : 3] : output.size[1];
    cv::Mat map(h, w, CV_32F, const_cast<float*>(output.ptr<float>()));
    cv::Mat result;
    if (map.size() != m_size)
        cv::resize(map, result, m_size, 0, 0, cv::INTER_LINEAR);
    else
        result = map.clone();
    return result;
}
