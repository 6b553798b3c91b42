#include "cats/bundled_cat.h"
#include "cats/skin_store.h"
#include "settings/settings.h"
#include "temp_store.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A bundle whose "Cats" folder holds the given files; names ending in an image extension get
// a small real picture unless listed in `broken`.
struct Bundle {
    QTemporaryDir dir;
    explicit Bundle(const QStringList& files, const QByteArray& names = {},
                    const QStringList& broken = {}) {
        QDir(dir.path()).mkpath("Cats");
        for (const QString& file : files) {
            const QString path = dir.filePath("Cats/" + file);
            if (BundledCat::imageExtensions().contains(QFileInfo(file).suffix().toLower()) &&
                !broken.contains(file) && QFileInfo(file).suffix().toLower() == "png") {
                QImage image(8, 8, QImage::Format_ARGB32);
                image.fill(Qt::red);
                image.save(path, "PNG");
            } else {
                QFile f(path);
                f.open(QIODevice::WriteOnly);
                f.write("not a picture");
            }
        }
        if (!names.isNull()) {
            QFile f(dir.filePath("Cats/names.json"));
            f.open(QIODevice::WriteOnly);
            f.write(names);
        }
    }
    BundledCat catalogue() const { return BundledCat(dir.path()); }
};

QStringList names(const QList<CatSkin>& skins) {
    QStringList result;
    for (const CatSkin& skin : skins)
        result << skin.name;
    return result;
}

} // namespace

class SkinsTest : public QObject {
    Q_OBJECT

private slots:
    void catalogueOrderAndFilter_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("natural, case-insensitive")
            << QStringList{"b.png", "A.jpg", "a10.png", "a2.PNG", "notes.txt"}
            << QStringList{"A", "a2", "a10", "b"};
        QTest::newRow("every accepted extension")
            << QStringList{"1.png",  "2.jpg", "3.jpeg", "4.tiff", "5.tif",
                           "6.heic", "7.gif", "8.webp", "9.bmp",  "10"}
            << QStringList{"1", "2", "3", "4", "5", "6", "7", "8"};
        QTest::newRow("last extension only")
            << QStringList{"cat.old.png"} << QStringList{"cat.old"};
        QTest::newRow("Korean names") << QStringList{"하양.png", "까망.png", "가을.png"}
                                      << QStringList{"가을", "까망", "하양"};
        QTest::newRow("empty folder") << QStringList{} << QStringList{};
    }
    void catalogueOrderAndFilter() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, expected);
        Bundle bundle(files);
        QCOMPARE(names(bundle.catalogue().skins()), expected);
    }

    void namesIndex_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("mapped") << QByteArray(R"({"tabby": "고등어"})")
                                << QStringList{"black", "고등어"};
        QTest::newRow("not an object")
            << QByteArray(R"(["tabby"])") << QStringList{"black", "tabby"};
        QTest::newRow("a value that is not text")
            << QByteArray(R"({"tabby": "고등어", "black": 3})") << QStringList{"black", "tabby"};
        QTest::newRow("malformed") << QByteArray("{tabby") << QStringList{"black", "tabby"};
    }
    void namesIndex() {
        QFETCH(QByteArray, json);
        QFETCH(QStringList, expected);
        Bundle bundle({"tabby.png", "black.png"}, json);
        BundledCat catalogue = bundle.catalogue();
        // Where Hangul sorts against Latin depends on the locale; the set does not.
        QStringList actual = names(catalogue.skins());
        actual.sort();
        expected.sort();
        QCOMPARE(actual, expected);
        for (const CatSkin& skin : catalogue.skins()) {
            QCOMPARE(skin.id, "bundled:" + skin.name);
            QVERIFY(!skin.isCustom);
            QVERIFY(!skin.patch);
        }
        for (const CatSkin& skin : catalogue.skins())
            if (skin.name == "고등어")
                QCOMPARE(skin.imageFile, std::optional<QString>("tabby.png"));
    }

    void imagesLoadOnDemandAndRetry() {
        Bundle bundle({"good.png", "bad.png"}, {}, {"bad.png"});
        BundledCat catalogue = bundle.catalogue();
        QVERIFY(catalogue.image("good.png"));
        QCOMPARE(catalogue.image("good.png")->size(), QSize(8, 8));
        QVERIFY(!catalogue.image("bad.png"));
        QVERIFY(!catalogue.image("missing.png"));
        // A picture repaired on disk loads on the next call: failures are not cached.
        QImage image(4, 4, QImage::Format_ARGB32);
        image.fill(Qt::blue);
        QVERIFY(image.save(bundle.dir.filePath("Cats/bad.png"), "PNG"));
        QVERIFY(catalogue.image("bad.png"));
    }

    // The widget reads a picture's size from its header and decodes it at the size it draws.
    void picturesAtTheSizeTheyAreDrawn() {
        Bundle bundle({"good.png", "bad.png"}, {}, {"bad.png"});
        BundledCat catalogue = bundle.catalogue();
        QCOMPARE(catalogue.imageSize("good.png"), QSize(8, 8));
        QCOMPARE(catalogue.imageAt("good.png", QSize(4, 4))->size(), QSize(4, 4));
        QCOMPARE(catalogue.imageSize("bad.png"), QSize());
        QVERIFY(!catalogue.imageAt("bad.png", QSize(4, 4)));
        QCOMPARE(catalogue.imageSize("missing.png"), QSize());
    }

    // A picture drawn small comes from the smallest smaller raster that is large enough.
    void smallerRastersServeSmallSizes_data() {
        QTest::addColumn<int>("pixels");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("a preview: the 256-pixel raster") << 134 << QColor(Qt::green);
        QTest::newRow("just over 256: the 512-pixel raster") << 257 << QColor(Qt::blue);
        QTest::newRow("over every smaller raster: the picture itself") << 600 << QColor(Qt::red);
    }
    void smallerRastersServeSmallSizes() {
        QFETCH(int, pixels);
        QFETCH(QColor, colour);
        Bundle bundle({"tabby.png"}, {}, {});
        auto write = [&](const QString& path, int side, QColor fill) {
            QDir().mkpath(QFileInfo(path).path());
            QImage image(side, side, QImage::Format_ARGB32);
            image.fill(fill);
            QVERIFY(image.save(path, "PNG"));
        };
        write(bundle.dir.filePath("Cats/tabby.png"), 1024, Qt::red);
        write(bundle.dir.filePath("Cats/256/tabby.png"), 256, Qt::green);
        write(bundle.dir.filePath("Cats/512/tabby.png"), 512, Qt::blue);
        BundledCat catalogue = bundle.catalogue();
        QCOMPARE(catalogue.skins().size(), 1);
        QCOMPARE(catalogue.imageSize("tabby.png"), QSize(1024, 1024));
        const std::optional<QImage> drawn = catalogue.imageAt("tabby.png", QSize(pixels, pixels));
        QVERIFY(drawn);
        QCOMPARE(drawn->size(), QSize(pixels, pixels));
        QCOMPARE(drawn->pixelColor(pixels / 2, pixels / 2), colour);
    }

    // Hangul names are sorted without the collator; the order must be the collator's, in a
    // Korean and in an English session alike.
    void hangulNamesSortAsTheCollatorSorts() {
        QStringList names = {"가을이", "까망이", "냥냥이", "방긋이", "뿌루퉁",
                             "하트뿅", "가",     "각",     "가나",   "갂",
                             "나비",   "고등어", "치즈",   "꽁치",   "똘이"};
        QRandomGenerator random(42);
        for (int i = 0; i < 200; ++i) {
            QString name;
            for (int n = 1 + int(random.bounded(3)); n > 0; --n)
                name += QChar(char16_t(0xAC00 + random.bounded(0xD7A4 - 0xAC00)));
            names.append(name);
        }
        for (const QString& name : names)
            QVERIFY(BundledCat::isHangulOnly(name));
        QStringList byCodePoint = names;
        std::stable_sort(byCodePoint.begin(), byCodePoint.end());
        for (const QLocale& locale : {QLocale(QLocale::Korean), QLocale(QLocale::English)}) {
            QCollator collator(locale);
            collator.setNumericMode(true);
            collator.setCaseSensitivity(Qt::CaseInsensitive);
            QStringList collated = names;
            std::stable_sort(
                collated.begin(), collated.end(),
                [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
            QCOMPARE(byCodePoint, collated);
        }
        QVERIFY(!BundledCat::isHangulOnly("고양이 2"));
        QVERIFY(!BundledCat::isHangulOnly("Tabby"));
        QVERIFY(!BundledCat::isHangulOnly(""));
    }

    void missingBundleHasNoSkins() {
        BundledCat catalogue("/nonexistent/Purrtick_Purrtick.bundle");
        QVERIFY(catalogue.skins().isEmpty());
    }

    void selection_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("selectedID");
        QTest::addColumn<QString>("resolved");
        const QStringList two{"b.png", "a.png"};
        QTest::newRow("nothing stored: first skin") << two << QVariant() << "bundled:a"
                                                    << "bundled:a";
        QTest::newRow("nothing stored, no pictures") << QStringList{} << QVariant() << "cheese"
                                                     << "cheese";
        QTest::newRow("stored built-in") << two << QVariant("bundled:b") << "bundled:b"
                                         << "bundled:b";
        QTest::newRow("custom, even without photos")
            << QStringList{} << QVariant("custom") << "custom"
            << "custom";
        QTest::newRow("stale id kept, resolves to first")
            << two << QVariant("bundled:zz") << "bundled:zz"
            << "bundled:a";
        QTest::newRow("stale id, no pictures")
            << QStringList{} << QVariant("bundled:zz") << "bundled:zz"
            << "cheese";
        QTest::newRow("case matters") << two << QVariant("bundled:B") << "bundled:B"
                                      << "bundled:a";
    }
    void selection() {
        QFETCH(QStringList, files);
        QFETCH(QVariant, stored);
        QFETCH(QString, selectedID);
        QFETCH(QString, resolved);
        Bundle bundle(files);
        BundledCat catalogue = bundle.catalogue();
        TempStore temp;
        if (stored.isValid())
            temp.seed("catSkinID", stored);
        Settings settings(temp.open());
        SkinStore store(settings, catalogue);
        QCOMPARE(store.selectedID(), selectedID);
        QCOMPARE(store.skin().id, resolved);
        // Starting up never writes the selection.
        QCOMPARE(temp.readBack()->contains("catSkinID"), stored.isValid());
    }

    void assignmentWritesEveryTime() {
        Bundle bundle({"a.png"});
        BundledCat catalogue = bundle.catalogue();
        TempStore temp;
        Settings settings(temp.open());
        SkinStore store(settings, catalogue);
        int changes = 0;
        connect(&store, &SkinStore::selectedIDChanged, [&] { ++changes; });
        store.setSelectedID("bundled:a");
        QCOMPARE(changes, 0);
        QCOMPARE(temp.readBack()->value("catSkinID").toString(), QString("bundled:a"));
        store.setSelectedID("custom");
        QCOMPARE(changes, 1);
        QCOMPARE(store.skin(), CatSkin::custom());
    }
};

QTEST_GUILESS_MAIN(SkinsTest)
#include "tst_skins.moc"
