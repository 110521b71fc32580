#pragma once

#include <QHash>
#include <QList>
#include <QString>

namespace platform {

// A small settings registry kept in one INI-style text file: keys under a few predefined roots,
// each key holding named string, expandable-string and number values. Key and value names are
// compared without regard to case but stored as written. Rights asked for when a key is opened are
// checked against whether the file can be written, and every change is saved at once (atomically).
//
// The classes root is a view of the local machine's "SOFTWARE\Classes" key, so a value written
// through one is read through the other.
class RegistryStore {
public:
    enum class Root { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig, DynData };
    enum class Type : quint32 { None = 0, String = 1, ExpandString = 2, Number = 4 };

    // Results, numbered like the platform's error codes so callers can pass them on unchanged.
    enum Status : long {
        Success = 0,
        FileNotFound = 2,
        AccessDenied = 5,
        InvalidHandle = 6,
        InvalidParameter = 87,
        NoMoreItems = 259,
    };

    // Access rights.
    static constexpr quint32 QueryValue = 0x0001;
    static constexpr quint32 SetValue = 0x0002;
    static constexpr quint32 CreateSubKey = 0x0004;
    static constexpr quint32 EnumerateSubKeys = 0x0008;
    static constexpr quint32 Notify = 0x0010;
    static constexpr quint32 CreateLink = 0x0020;
    static constexpr quint32 Delete = 0x00010000;
    static constexpr quint32 ReadControl = 0x00020000;
    static constexpr quint32 WriteDac = 0x00040000;
    static constexpr quint32 WriteOwner = 0x00080000;
    static constexpr quint32 Read = 0x00020019;
    static constexpr quint32 Write = 0x00020006;
    static constexpr quint32 AllAccess = 0x000F003F;

    using Key = quintptr; // 0 is never a valid key

    struct Value {
        QString name; // empty for the key's unnamed default value
        Type type = Type::None;
        QString text;       // String and ExpandString (unexpanded)
        quint32 number = 0; // Number
    };

    // The file need not exist; it is created by the first change.
    explicit RegistryStore(const QString& filePath = defaultPath());

    // The store of the current user: registry.ini in the user's configuration folder.
    static QString defaultPath();

    QString filePath() const { return m_path; }
    // A read-only store (a shared copy the user must not change) refuses every write right.
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // Whether changes could be saved: the store is not read-only and the file, or the folder it
    // would be created in, is writable.
    bool writable() const;

    long open(Root root, const QString& subKey, quint32 rights, Key* key);
    // Opens the key, creating it (and any missing parent) first. *created tells which happened.
    long create(Root root, const QString& subKey, quint32 rights, Key* key,
                bool* created = nullptr);
    long close(Key key);

    // The value at position index (0-based, in the order the values were first written).
    long enumValue(Key key, int index, Value* value);
    long queryValue(Key key, const QString& name, Value* value);
    long setString(Key key, const QString& name, const QString& data, Type type = Type::String);
    long setNumber(Key key, const QString& name, quint32 data);
    long deleteValue(Key key, const QString& name);

    // Replaces each %NAME% by the environment variable NAME; unknown names and a lone % stay as
    // they are, as the platform's own expansion does.
    static QString expandEnvironment(const QString& text);

private:
    struct Section {
        QString path; // "HKEY_LOCAL_MACHINE\Software\..."
        QList<Value> values;
    };
    struct Handle {
        QString path;
        quint32 rights = 0;
    };

    static QString canonicalPath(Root root, const QString& subKey);
    static bool wantsWrite(quint32 rights);
    void reload();
    bool save();
    int sectionIndex(const QString& path) const;
    bool keyExists(const QString& path) const;
    const Handle* handle(Key key) const;
    // The path of a key that may be changed, with the file read again; or why it may not.
    long beginChange(Key key, QString* path);
    // Saves the change, or drops it when the file cannot be written.
    long commitChange();
    long writeValue(Key key, const Value& v);

    QString m_path;
    QList<Section> m_sections;
    QHash<Key, Handle> m_handles;
    Key m_nextKey = 1;
    bool m_readOnly = false;
};

} // namespace platform
