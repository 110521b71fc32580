#include "markuprules.h"

#include "modstring.h"

#include <QImage>
#include <QImageReader>
#include <QUrl>

namespace markuprules {

QSize pictureSize(const QString& path) {
    QImageReader reader(path);
    // Browsers turn a photo as its orientation tag says (a portrait taken with the camera on its
    // side is stored in landscape); the tag must size it as the page shows it.
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return {};
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize stated = reader.size(); // as stored
    if (stated.isValid() && !stated.isEmpty())
        return turned ? stated.transposed() : stated;
    // Formats that only know their size once decoded; reading applies the orientation.
    const QImage image = reader.read();
    return image.isNull() ? QSize() : image.size();
}

QString pictureAddress(const QString& projectFolder, const QString& picturePath) {
    const QString url = modString::GetRelativeUrl(projectFolder, picturePath);
    // What stays readable: path separators, the drive's colon and the characters a file name
    // commonly holds that mean nothing special in an attribute or an address.
    static const QByteArray keep = QByteArrayLiteral("/:!$'()*+,;=@-._~");
    qsizetype start = 0;
    for (const QString& scheme : {QStringLiteral("file:///"), QStringLiteral("file://")}) {
        if (url.startsWith(scheme)) {
            start = scheme.size();
            break;
        }
    }
    return url.left(start) + QString::fromLatin1(QUrl::toPercentEncoding(url.mid(start), keep));
}

QStringList pictureFilters() {
    const QList<QByteArray> readable = QImageReader::supportedImageFormats();
    QStringList patterns;
    for (const char* format : {"gif", "jpg", "jpeg", "png", "webp"}) {
        if (readable.contains(QByteArray(format)))
            patterns << QStringLiteral("*.") + QLatin1String(format);
    }
    return {QStringLiteral("Image Files (%1)").arg(patterns.join(u' ')),
            QStringLiteral("All Files (*)")};
}

QString imageTag(const QString& src, const QSize& size) {
    return QStringLiteral("<img border=\"0\" src=\"%1\" width=\"%2\" height=\"%3\">")
        .arg(src, QString::number(size.width()), QString::number(size.height()));
}

} // namespace markuprules
