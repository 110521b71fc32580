#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

// The markup the item text's buttons insert, without the window.
namespace markuprules {

inline const QString kBoldOpen = QStringLiteral("<b>");
inline const QString kBoldClose = QStringLiteral("</b>");
inline const QString kEmphasisOpen = QStringLiteral("<em>");
inline const QString kEmphasisClose = QStringLiteral("</em>");

// The picture's size in pixels as a browser shows it: as the file states it (no scaling for the
// screen), turned as its orientation tag says; an invalid size when the file cannot be read as a
// picture.
QSize pictureSize(const QString& path);

// The address a page in the project folder uses for the picture: relative where the path
// helpers make it relative, with the characters that would end the attribute, start a query
// or fragment, or be read as an entity percent-encoded.
QString pictureAddress(const QString& projectFolder, const QString& picturePath);

// The file dialog's filters: the web's picture formats this system can read, then all files.
QStringList pictureFilters();

// <img border="0" src="..." width="w" height="h">
QString imageTag(const QString& src, const QSize& size);

} // namespace markuprules
