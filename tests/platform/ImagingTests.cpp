#include "platform/imaging/ImageCodecs.h"
#include "platform/imaging/Jpeg.h"
#include "platform/imaging/Tiff.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <csignal>

namespace {

QImage TestPicture(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y,
                           qRgb(x * 255 / std::max(1, w - 1), y * 255 / std::max(1, h - 1), 90));
    QPainter p(&image);
    p.fillRect(0, 0, w / 4, h / 4, Qt::white);
    return image;
}

int MaxDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

const std::uint8_t* Bytes(const QByteArray& a) {
    return reinterpret_cast<const std::uint8_t*>(a.constData());
}

TEST(Jpeg, RoundTripKeepsSizeAndColours) {
    const QImage picture = TestPicture(160, 120);
    const QByteArray jpeg = EncodeJpeg(picture, 95);
    ASSERT_FALSE(jpeg.isEmpty());
    int w = 0, h = 0;
    ASSERT_TRUE(ReadJpegSize(Bytes(jpeg), jpeg.size(), &w, &h));
    EXPECT_EQ(QSize(w, h), QSize(160, 120));
    const QImage decoded = DecodeJpeg(Bytes(jpeg), jpeg.size());
    ASSERT_EQ(decoded.format(), QImage::Format_RGB32);
    ASSERT_EQ(decoded.size(), picture.size());
    EXPECT_LT(MaxDifference(decoded, picture), 40);
    EXPECT_EQ(decoded.pixel(5, 5), qRgb(255, 255, 255));
    // Other inputs are converted, not rejected.
    EXPECT_FALSE(EncodeJpeg(picture.convertToFormat(QImage::Format_RGB888)).isEmpty());
}

TEST(Jpeg, ScaledDecodeSizes) {
    const QByteArray jpeg = EncodeJpeg(TestPicture(1280, 960));
    struct Case {
        JpegScale scale;
        QSize size;
    };
    for (const Case& c :
         {Case{{1, 1}, {1280, 960}}, Case{{1, 2}, {640, 480}}, Case{{1, 4}, {320, 240}},
          Case{{1, 8}, {160, 120}}, Case{{3, 8}, {480, 360}}}) {
        SCOPED_TRACE(c.scale.num * 100 / c.scale.denom);
        EXPECT_EQ(DecodeJpeg(Bytes(jpeg), jpeg.size(), c.scale).size(), c.size);
    }
    EXPECT_TRUE(DecodeJpeg(Bytes(jpeg), jpeg.size(), {1, 3}).isNull()); // not offered
}

TEST(Jpeg, CoveringScaleNeverFallsShortOfTheTarget) {
    struct Case {
        int w, h;
        QSize target;
        JpegScale expected;
    };
    const Case cases[] = {
        {1280, 960, {640, 480}, {1, 2}}, {1280, 960, {641, 480}, {1, 1}},
        {1280, 960, {320, 240}, {1, 4}}, {1280, 960, {100, 50}, {1, 8}},
        {1280, 960, {0, 0}, {1, 1}},     {1600, 1600, {400, 300}, {1, 4}},
        {1281, 961, {321, 241}, {1, 4}}, {1281, 961, {322, 241}, {1, 2}},
        {1281, 961, {160, 120}, {1, 8}}, {200, 100, {400, 200}, {1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1x%2 into %3x%4")
                         .arg(c.w)
                         .arg(c.h)
                         .arg(c.target.width())
                         .arg(c.target.height())
                         .toStdString());
        const JpegScale s = CoveringJpegScale(c.w, c.h, c.target);
        EXPECT_EQ(s, c.expected);
    }
    const QByteArray jpeg = EncodeJpeg(TestPicture(1281, 961));
    const QImage covered = DecodeJpegCovering(Bytes(jpeg), jpeg.size(), {322, 241});
    EXPECT_EQ(covered.size(), QSize(641, 481));
    EXPECT_GE(covered.width(), 322);
    EXPECT_GE(covered.height(), 241);
}

TEST(Jpeg, GarbageAndTruncationAreHandled) {
    const QByteArray garbage("definitely not a picture");
    EXPECT_FALSE(ReadJpegSize(Bytes(garbage), garbage.size(), nullptr, nullptr));
    EXPECT_TRUE(DecodeJpeg(Bytes(garbage), garbage.size()).isNull());
    EXPECT_TRUE(DecodeJpeg(nullptr, 0).isNull());
    EXPECT_TRUE(DecodeImage(Bytes(garbage), garbage.size()).isNull());
    // A file cut short still gives its size and a picture of it.
    const QByteArray jpeg = EncodeJpeg(TestPicture(256, 256));
    const QByteArray cut = jpeg.left(jpeg.size() * 3 / 4);
    const QImage partial = DecodeJpeg(Bytes(cut), cut.size());
    EXPECT_EQ(partial.size(), QSize(256, 256));
    const QByteArray header = jpeg.left(20);
    EXPECT_TRUE(DecodeJpeg(Bytes(header), header.size()).isNull());
}

TEST(ImageCodecs, DecodesOtherFormatsToRgb32) {
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        TestPicture(30, 20).save(&buffer, "PNG");
    }
    const QImage decoded = DecodeImage(Bytes(png), png.size());
    EXPECT_EQ(decoded.format(), QImage::Format_RGB32);
    EXPECT_EQ(decoded, TestPicture(30, 20));
}

TEST(ImageCodecs, RotateFlipTurnsThenFlips) {
    // A 2 x 1 picture: red on the left, blue on the right.
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 0, 255));
    const QRgb R = qRgb(255, 0, 0), B = qRgb(0, 0, 255);
    struct Case {
        RotateFlipType type;
        QSize size;
        QRgb first; // pixel (0, 0)
    };
    const Case cases[] = {
        {RotateNoneFlipNone, {2, 1}, R}, {Rotate90FlipNone, {1, 2}, R},
        {Rotate180FlipNone, {2, 1}, B},  {Rotate270FlipNone, {1, 2}, B},
        {RotateNoneFlipX, {2, 1}, B},    {Rotate90FlipX, {1, 2}, R},
        {Rotate180FlipX, {2, 1}, R},     {Rotate270FlipX, {1, 2}, B},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        const QImage out = RotateFlip(image, c.type);
        EXPECT_EQ(out.size(), c.size);
        EXPECT_EQ(out.pixel(0, 0), c.first);
    }
}

TEST(ImageCodecs, EncoderListAndSaving) {
    const auto& encoders = ImageEncoders();
    ASSERT_EQ(encoders.size(), 2u);
    EXPECT_EQ(encoders[0].MimeType, "image/jpeg");
    EXPECT_EQ(encoders[1].MimeType, "image/tiff");
    EXPECT_NE(encoders[0].Clsid, encoders[1].Clsid);

    QTemporaryDir dir;
    const QImage picture = TestPicture(90, 60);
    const QString jpegPath = dir.filePath("a.jpg");
    ASSERT_EQ(SaveImageToFile(picture, jpegPath, encoders[0].Clsid, 90), S_OK);
    QFile file(jpegPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(DecodeJpeg(Bytes(bytes), bytes.size()).size(), QSize(90, 60));

    const QString tiffPath = dir.filePath("a.tif");
    ASSERT_EQ(SaveImageToFile(picture, tiffPath, encoders[1].Clsid), S_OK);
    EXPECT_EQ(LoadTiff(tiffPath), picture); // lossless

    EXPECT_EQ(SaveImageToFile(picture, dir.filePath("b.x"), GUID_NULL), E_INVALIDARG);
    EXPECT_EQ(SaveImageToFile(QImage(), dir.filePath("c.jpg"), encoders[0].Clsid), E_INVALIDARG);
    for (const auto& encoder : encoders) {
        const QString bad = dir.filePath("missing/d.out");
        EXPECT_EQ(SaveImageToFile(picture, bad, encoder.Clsid), E_FAIL);
        EXPECT_FALSE(QFile::exists(bad));
    }
    EXPECT_TRUE(LoadTiff(dir.filePath("none.tif")).isNull());
}

// Caps the size of files this process writes, as a full disk would: a write
// past the cap fails with EFBIG instead of raising SIGXFSZ.
class FileSizeCap {
public:
    explicit FileSizeCap(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit capped = saved_;
        capped.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &capped) == 0;
    }
    ~FileSizeCap() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeCap(const FileSizeCap&) = delete;
    FileSizeCap& operator=(const FileSizeCap&) = delete;
    bool Active() const { return active_; }

private:
    rlimit saved_{};
    void (*previous_)(int) = SIG_DFL;
    bool active_ = false;
};

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ImageCodecs, FailedWriteIsReportedAndKeepsTheFileThatWasThere) {
    const QImage picture = TestPicture(256, 192);
    for (const auto& encoder : ImageEncoders()) {
        SCOPED_TRACE(encoder.MimeType.toStdString());
        QTemporaryDir dir;
        const QString path = dir.filePath("picture");
        ASSERT_EQ(SaveImageToFile(picture, path, encoder.Clsid), S_OK);
        const auto fullSize = static_cast<rlim_t>(QFileInfo(path).size());
        ASSERT_GT(fullSize, 1000u);

        const QByteArray previous("the picture saved before");
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(previous);
        }
        HRESULT capped = S_OK;
        {
            // Room for all but the last byte. Checked once the cap is gone, so
            // that a failure report is not cut short too.
            FileSizeCap cap(fullSize - 1);
            ASSERT_TRUE(cap.Active());
            capped = SaveImageToFile(picture, path, encoder.Clsid);
        }
        EXPECT_EQ(capped, E_FAIL);
        EXPECT_EQ(ReadAll(path), previous);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"picture"});
    }
}

} // namespace
