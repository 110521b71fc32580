#include "nodekeys.h"

bool NodeKeys::claim(const QString& key) {
    if (m_keys.contains(key))
        return false;
    m_keys.insert(key);
    return true;
}

QString NodeKeys::claimWithSuffix(const QString& base, const QString& suffix) {
    QString key = base + suffix;
    while (!claim(key))
        key += suffix;
    return key;
}
