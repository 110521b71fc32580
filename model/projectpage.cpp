#include "projectpage.h"

#include <QCryptographicHash>
#include <QFile>

namespace projectpage {

namespace {

// SHA-256 fingerprints of every tickora.htm we delivered. When data/tickora.htm changes, add the
// fingerprint of the new version here, so that a project holding it still gets the next one.
constexpr const char* kDelivered[] = {
    "cb83c11921c97317bb24eda938566fb3ceeaf75e5f100fbb631221c0cb630098",
    "db1ea8dfdc2b6b8a7b4b4db294d72e30f3254c4fe6313aa585d5698097235329",
    "3d9af4251a44b5e7d5bdf5a10c9a2374f6ae8cd1727904444a9cf04efda51d7a",
};

} // namespace

QByteArray fingerprint(const QByteArray& page) {
    QByteArray text = page;
    text.replace("\r\n", "\n");
    return QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex();
}

bool isEarlierDelivery(const QByteArray& page) {
    const QByteArray f = fingerprint(page);
    for (const char* known : kDelivered)
        if (f == known)
            return true;
    return false;
}

bool mayReplace(const QString& existing, const QString& delivered) {
    QFile page(existing);
    if (!page.exists())
        return true;
    // A page that cannot be read cannot be told from the user's own: it stays.
    if (!page.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = page.readAll();
    if (page.error() != QFileDevice::NoError)
        return false;
    if (isEarlierDelivery(bytes))
        return true;
    QFile ours(delivered);
    return ours.open(QIODevice::ReadOnly) && fingerprint(ours.readAll()) == fingerprint(bytes);
}

} // namespace projectpage
