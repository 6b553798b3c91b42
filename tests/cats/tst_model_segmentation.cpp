// Background removal by the learned model: reading what input and outputs a model file
// declares, loading a model of either input size or with open sides, reading its first output, the
// rule that tells a subject from a faint map, and the real model on a drawn cat when its file is at
// hand.
#include "cats/foreground_segmentation.h"
#include "cats/model_segmentation.h"
#include "cats/onnx_graph.h"
#include "cats/saliency_model.h"
#include "cats/segmentation_model_file.h"
#include "synthetic_cats.h"
#include "tiny_onnx.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <opencv2/imgproc.hpp>

namespace {

QString writeModel(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

// The model file for development and CI, when this checkout has it beside it.
std::optional<QString> realModel() {
    QProcessEnvironment environment;
    const QString own = qEnvironmentVariable("PURRTICK_MODEL_DIR");
    environment.insert("PURRTICK_MODEL_DIR", own.isEmpty() ? PURRTICK_SHARED_MODEL_DIR : own);
    const std::optional<QString> found = SegmentationModelFile::find(environment);
    if (found && !found->startsWith(QFileInfo(SegmentationModelFile::downloadPath()).path()))
        return found;
    return std::nullopt;
}

} // namespace

class ModelSegmentationTest : public QObject {
    Q_OBJECT

private slots:
    void declaredInputShape_data() {
        QTest::addColumn<QByteArray>("model");
        QTest::addColumn<QList<qint64>>("shape");
        QTest::newRow("320, as the upstream export")
            << TinyOnnx::model({1, 3, 320, 320}) << QList<qint64>{1, 3, 320, 320};
        QTest::newRow("256, as the converted copy")
            << TinyOnnx::model({1, 3, 256, 256}) << QList<qint64>{1, 3, 256, 256};
        QTest::newRow("weights listed as inputs first")
            << TinyOnnx::model({1, 3, 288, 288}, true) << QList<qint64>{1, 3, 288, 288};
        QTest::newRow("open sides")
            << TinyOnnx::model({-1, 3, -1, -1}) << QList<qint64>{-1, 3, -1, -1};
    }
    void declaredInputShape() {
        QFETCH(QByteArray, model);
        QFETCH(QList<qint64>, shape);
        const std::optional<OnnxGraph::Declared> declared = OnnxGraph::read(model);
        QVERIFY(declared);
        QCOMPARE(declared->inputName, QByteArray("input"));
        QCOMPARE(declared->inputShape, shape);
        QCOMPARE(declared->outputNames, QList<QByteArray>{"output"});
    }

    // Writing a shape into the declared input changes that and nothing else.
    void aDeclaredInputShapeIsRewritten() {
        TinyOnnx::Options options;
        options.sideOutput = true;
        options.weightsAsInput = true;
        const QByteArray open = TinyOnnx::model({-1, 3, -1, -1}, options);
        const std::optional<QByteArray> fixed = OnnxGraph::withInputShape(open, {1, 3, 320, 320});
        QVERIFY(fixed);
        const std::optional<OnnxGraph::Declared> declared = OnnxGraph::read(*fixed);
        QVERIFY(declared);
        QCOMPARE(declared->inputShape, (QList<qint64>{1, 3, 320, 320}));
        QCOMPARE(declared->outputNames, (QList<QByteArray>{"output", "side"}));
        // Written with the shape it has, a model is the same byte for byte: the rewrite copies
        // everything else as it was.
        QCOMPARE(OnnxGraph::withInputShape(open, {-1, 3, -1, -1}), std::optional(open));
        QCOMPARE(OnnxGraph::withInputShape(*fixed, {1, 3, 320, 320}), fixed);
        QVERIFY(!OnnxGraph::withInputShape(QByteArray("no model"), {1, 3, 320, 320}));
    }

    void bytesThatAreNoModelHaveNoShape_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("not a model at all, just words");
        QTest::newRow("cut short") << TinyOnnx::model({1, 3, 320, 320}).left(40);
        QTest::newRow("a length past the end") << QByteArray("\x3a\xff\xff\xff\x0f", 5);
    }
    void bytesThatAreNoModelHaveNoShape() {
        QFETCH(QByteArray, bytes);
        QVERIFY(!OnnxGraph::read(bytes));
        QVERIFY(!OnnxGraph::withInputShape(bytes, {1, 3, 8, 8}));
    }

    // The loaded model takes pictures at the size its file declares, whatever the photo's size.
    void loadsEitherInputSize_data() {
        QTest::addColumn<int>("side");
        QTest::newRow("256") << 256;
        QTest::newRow("320") << 320;
    }
    void loadsEitherInputSize() {
        QFETCH(int, side);
        QTemporaryDir dir;
        const QString path = writeModel(dir, "m.onnx", TinyOnnx::model({1, 3, side, side}));
        QString error;
        const std::shared_ptr<SaliencyModel> model = SaliencyModel::load(path, &error);
        QVERIFY2(model, qPrintable(error));
        QCOMPARE(model->inputSize(), cv::Size(side, side));
        const cv::Mat photo(480, 640, CV_8UC3, cv::Scalar(40, 120, 200));
        const cv::Mat map = model->predict(photo);
        QCOMPARE(map.size(), cv::Size(side, side));
        double low = 0, high = 0;
        cv::minMaxLoc(map, &low, &high);
        QVERIFY(low >= 0 && high <= 1);
    }

    // Exports of the network list the finest map first and coarser side maps after it; the
    // first is the answer, though OpenCV gives the last when asked for nothing.
    void theFirstOutputIsTheAnswer() {
        QTemporaryDir dir;
        TinyOnnx::Options sides;
        sides.sideOutput = true;
        const QString path = writeModel(dir, "sides.onnx", TinyOnnx::model({1, 3, 64, 64}, sides));
        QString error;
        const std::shared_ptr<SaliencyModel> model = SaliencyModel::load(path, &error);
        QVERIFY2(model, qPrintable(error));
        // White: every normalised channel well above zero, so the sum's sigmoid is near 1 and
        // the side map's near 0.
        const cv::Mat white(100, 100, CV_8UC3, cv::Scalar(255, 255, 255));
        const cv::Mat map = model->predict(white);
        QVERIFY2(cv::mean(map)[0] > 0.99, qPrintable(QString::number(cv::mean(map)[0])));
    }

    // An export that leaves height and width open, with a size read by a `Shape` node, loads
    // at the network's own 320 pixels.
    void openSidesLoadAtTheNativeSize() {
        TinyOnnx::Options resize;
        resize.resizeToInput = true;
        const QByteArray open = TinyOnnx::model({-1, 3, -1, -1}, resize);
        bool refusedAsItIs = false;
        try {
            refusedAsItIs = cv::dnn::readNetFromONNX(open.constData(), size_t(open.size())).empty();
        } catch (const cv::Exception&) {
            refusedAsItIs = true;
        }
        if (!refusedAsItIs)
            QSKIP("this OpenCV follows a Shape node over open sides by itself");
        QTemporaryDir dir;
        const QString path = writeModel(dir, "open.onnx", open);
        QString error;
        const std::shared_ptr<SaliencyModel> model = SaliencyModel::load(path, &error);
        QVERIFY2(model, qPrintable(error));
        QCOMPARE(model->inputSize(), cv::Size(320, 320));
        const cv::Mat map = model->predict(cv::Mat(240, 320, CV_8UC3, cv::Scalar(255, 255, 255)));
        QCOMPARE(map.size(), cv::Size(320, 320));
        QVERIFY(cv::mean(map)[0] > 0.99);
    }

    void filesThatAreNoUsableModelAreRefused() {
        QTemporaryDir dir;
        QString error;
        QVERIFY(!SaliencyModel::load(dir.filePath("missing.onnx"), &error));
        QVERIFY(!error.isEmpty());
        // A model that takes something other than one colour picture.
        const QString grey = writeModel(dir, "grey.onnx", TinyOnnx::model({1, 1, 64, 64}));
        QVERIFY(!SaliencyModel::load(grey, &error));
    }

    // A subject is a region the network is sure of; a faint or lukewarm map is no subject.
    void subjectRule_data() {
        QTest::addColumn<float>("background");
        QTest::addColumn<float>("region");
        QTest::addColumn<int>("regionSide");
        QTest::addColumn<bool>("subject");
        QTest::newRow("a sure cat") << 0.02f << 0.97f << 100 << true;
        QTest::newRow("nothing at all") << 0.0f << 0.0f << 0 << false;
        QTest::newRow("a lukewarm patch of grass") << 0.05f << 0.7f << 120 << false;
        QTest::newRow("a sure speck") << 0.0f << 1.0f << 20 << false;
        QTest::newRow("a less sure cat filling a crop") << 0.05f << 0.72f << 160 << true;
        QTest::newRow("a less sure patch of a third") << 0.05f << 0.72f << 130 << false;
    }
    void subjectRule() {
        QFETCH(float, background);
        QFETCH(float, region);
        QFETCH(int, regionSide);
        QFETCH(bool, subject);
        cv::Mat raw(256, 256, CV_32F, cv::Scalar(background));
        raw(cv::Rect(60, 60, regionSide, regionSide)).setTo(region);
        QCOMPARE(ModelSegmentation::showsSubject(raw), subject);
    }

    void theRealModelCutsOutADrawnCat() {
        const std::optional<QString> path = realModel();
        if (!path)
            QSKIP("no model file here: set PURRTICK_MODEL_DIR to the folder of u2netp.onnx "
                  "(or a converted u2netp_*.onnx) to run the learned model");
        QString error;
        const std::shared_ptr<SaliencyModel> model = SaliencyModel::load(*path, &error);
        QVERIFY2(model, qPrintable(error));
        const SyntheticCat cat = makeSyntheticCat(0, QSize(640, 480));
        const QImage mask = ModelSegmentation::foregroundMask(cat.picture, *model, &error);
        QVERIFY2(!mask.isNull(), qPrintable(error));
        const ForegroundSegmentation::Result result =
            ForegroundSegmentation::cutOutWith(cat.picture, mask);
        QVERIFY(result.cutout);
        const double iou = intersectionOverUnion(cat, result);
        QVERIFY2(iou >= 0.8, qPrintable(QString::number(iou)));

        // A picture of nothing but a wall has no subject.
        QImage wall(640, 480, QImage::Format_ARGB32_Premultiplied);
        wall.fill(QColor(200, 190, 170));
        QVERIFY(ModelSegmentation::foregroundMask(wall, *model).isNull());
    }
};

QTEST_GUILESS_MAIN(ModelSegmentationTest)
#include "tst_model_segmentation.moc"
