// The window reads its pictures through giflib; what it shows must be exactly
// what the toolkit's decoder makes of the same files, and damaged bytes must
// never crash it, read past the data or leave an index past the colour table.

#include <QFile>
#include <QImage>
#include <QtTest>

#include "app/application.h"
#include "app/gif_images.h"
#include "scene/pictures.h"

using namespace zorukan;

namespace {

QString resource(const scene::PictureInfo& info) {
    return QStringLiteral(":/pictures/") + QString::fromUtf8(info.file.data(), static_cast<qsizetype>(info.file.size()));
}

QByteArray bytes_of(const scene::PictureInfo& info) {
    QFile file(resource(info));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool indices_within_colour_table(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelIndex(x, y) >= image.colorCount()) return false;
        }
    }
    return true;
}

}  // namespace

class GifImagesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { app::register_resources(); }

    void decodesLikeTheToolkit_data() {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < scene::kPictures.size(); ++i) {
            QTest::newRow(scene::kPictures[i].file.data()) << static_cast<int>(i);
        }
    }

    void decodesLikeTheToolkit() {
        QFETCH(int, index);
        const scene::PictureInfo& info = scene::kPictures[static_cast<std::size_t>(index)];
        const QImage ours = app::load_picture(info).convertToFormat(QImage::Format_ARGB32);
        const QImage theirs = QImage(resource(info)).convertToFormat(QImage::Format_ARGB32);
        QVERIFY(!theirs.isNull());
        QCOMPARE(ours.size(), QSize(info.width_px, info.height_px));
        QCOMPARE(ours, theirs);
    }

    // Every cut of a file and every single damaged byte either decodes or is
    // refused; the sanitizer builds would report any read past the data.
    void damagedBytesAreRefusedSafely() {
        const QByteArray tv = bytes_of(scene::picture_info(scene::PictureId::TvIntact));
        QVERIFY(tv.size() > 100);
        int refused = 0;
        for (qsizetype cut = 0; cut < tv.size(); ++cut) {
            const QImage picture = app::decode_gif(tv.left(cut));
            if (picture.isNull()) {
                ++refused;
                continue;
            }
            QCOMPARE(picture.size(), QSize(21, 17));
        }
        QVERIFY(refused > tv.size() / 2);
        for (qsizetype at = 0; at < tv.size(); ++at) {
            QByteArray damaged = tv;
            damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
            const QImage picture = app::decode_gif(damaged);
            QVERIFY(picture.isNull() || indices_within_colour_table(picture));
        }
        // One pixel of colour 3 where the table holds two colours.
        const QByteArray past_the_table = QByteArray::fromHex(
            "474946383961" "0100" "0100" "800000" "000000" "ffffff"
            "2c" "00000000" "0100" "0100" "00"
            "02" "02" "5c01" "00" "3b");
        QVERIFY(app::decode_gif(past_the_table).isNull());
    }
};

QTEST_GUILESS_MAIN(GifImagesTest)
#include "gif_images_test.moc"
