#include "userconfig.h"

#include "appinfo.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace userconfig {

QString folder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/tickora-creator");
}

QString userDefaultPath() {
    return folder() + u'/' + appinfo::kDefaultScroller;
}

std::unique_ptr<QSettings> settings() {
    return std::make_unique<QSettings>(folder() + QStringLiteral("/settings.conf"),
                                       QSettings::IniFormat);
}

namespace {
std::function<void(const QString&)>& failureHandler() {
    static std::function<void(const QString&)> handler;
    return handler;
}
} // namespace

void write(const std::function<void(QSettings&)>& change) {
    const auto s = settings();
    change(*s);
    s->sync();
    if (s->status() != QSettings::NoError && failureHandler())
        failureHandler()(s->fileName());
}

void onWriteFailure(std::function<void(const QString& file)> handler) {
    failureHandler() = std::move(handler);
}

QString defaultForNew(const QString& appFolder) {
    const QString own = userDefaultPath();
    if (QFileInfo(own).isFile())
        return own;
    return appFolder + u'/' + appinfo::kDefaultScroller;
}

bool canWriteIn(const QString& dir) {
    QTemporaryFile probe(dir + QStringLiteral("/.tickora-probe-XXXXXX"));
    return probe.open();
}

QString defaultForSave(const QString& appFolder) {
    const QString own = userDefaultPath();
    if (QFileInfo(own).isFile())
        return own;
    const QString shipped = appFolder + u'/' + appinfo::kDefaultScroller;
    const QFileInfo shippedInfo(shipped);
    if (canWriteIn(appFolder) && (!shippedInfo.exists() || shippedInfo.isWritable()))
        return shipped;
    if (!QDir().mkpath(folder()))
        return QString();
    return own;
}

} // namespace userconfig
