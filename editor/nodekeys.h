#pragma once

#include <QSet>
#include <QString>

// The keys in use in one list. Keys only keep entries apart; a key can be claimed once.
class NodeKeys {
public:
    bool contains(const QString& key) const { return m_keys.contains(key); }
    // Claims key; false when it is already taken.
    bool claim(const QString& key);
    void release(const QString& key) { m_keys.remove(key); }
    void clear() { m_keys.clear(); }
    int size() const { return int(m_keys.size()); }

    // Appends suffix to base until the result is free, claims it and returns it.
    QString claimWithSuffix(const QString& base, const QString& suffix);

private:
    QSet<QString> m_keys;
};
