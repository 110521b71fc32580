#include "registrystore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

namespace platform {

namespace {

const char* rootName(RegistryStore::Root root) {
    switch (root) {
    case RegistryStore::Root::ClassesRoot:
        return "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes";
    case RegistryStore::Root::CurrentUser:
        return "HKEY_CURRENT_USER";
    case RegistryStore::Root::LocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case RegistryStore::Root::Users:
        return "HKEY_USERS";
    case RegistryStore::Root::CurrentConfig:
        return "HKEY_CURRENT_CONFIG";
    case RegistryStore::Root::DynData:
        return "HKEY_DYN_DATA";
    }
    return "";
}

QString quote(const QString& s) {
    QString out;
    out.reserve(s.size() + 2);
    out += QLatin1Char('"');
    for (QChar c : s) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            out += QLatin1Char('\\');
        if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else
            out += c;
    }
    out += QLatin1Char('"');
    return out;
}

// Reads a quoted string starting at line[pos] == '"'; leaves pos after the closing quote.
bool unquote(const QString& line, int& pos, QString* out) {
    if (pos >= line.size() || line[pos] != QLatin1Char('"'))
        return false;
    ++pos;
    out->clear();
    while (pos < line.size()) {
        QChar c = line[pos++];
        if (c == QLatin1Char('"'))
            return true;
        if (c == QLatin1Char('\\') && pos < line.size()) {
            QChar e = line[pos++];
            *out += e == QLatin1Char('n') ? QChar('\n') : e == QLatin1Char('r') ? QChar('\r') : e;
        } else {
            *out += c;
        }
    }
    return false;
}

QString cleanSubKey(const QString& subKey) {
    const QStringList parts = subKey.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    return parts.join(QLatin1Char('\\'));
}

} // namespace

RegistryStore::RegistryStore(const QString& filePath) : m_path(filePath) {
    reload();
}

QString RegistryStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1String("/tickora-creator/registry.ini");
}

bool RegistryStore::writable() const {
    if (m_readOnly)
        return false;
    QFileInfo fi(m_path);
    if (fi.exists())
        return fi.isFile() && fi.isWritable();
    // The file would be created, with any missing folders: the nearest existing folder decides.
    QString dir = fi.absolutePath();
    while (!QFileInfo(dir).exists()) {
        const QString parent = QFileInfo(dir).path();
        if (parent == dir)
            return false;
        dir = parent;
    }
    const QFileInfo di(dir);
    return di.isDir() && di.isWritable();
}

QString RegistryStore::canonicalPath(Root root, const QString& subKey) {
    const QString sub = cleanSubKey(subKey);
    QString path = QLatin1String(rootName(root));
    if (!sub.isEmpty())
        path += QLatin1Char('\\') + sub;
    return path;
}

bool RegistryStore::wantsWrite(quint32 rights) {
    return rights & (SetValue | CreateSubKey | CreateLink | Delete | WriteDac | WriteOwner);
}

void RegistryStore::reload() {
    m_sections.clear();
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    Section* current = nullptr;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QString path = cleanSubKey(line.mid(1, line.size() - 2));
            int i = sectionIndex(path);
            if (i < 0) {
                m_sections.append(Section{path, {}});
                i = m_sections.size() - 1;
            }
            current = &m_sections[i];
            continue;
        }
        if (!current)
            continue;
        Value v;
        int pos = 0;
        if (line.startsWith(QLatin1Char('@'))) {
            pos = 1;
        } else if (!unquote(line, pos, &v.name)) {
            continue; // not a value line: skipped rather than lost on the next save
        }
        if (pos >= line.size() || line[pos] != QLatin1Char('='))
            continue;
        ++pos;
        const QString rest = line.mid(pos);
        if (rest.startsWith(QLatin1String("dword:"))) {
            bool ok = false;
            v.number = rest.mid(6).toUInt(&ok, 16);
            if (!ok)
                continue;
            v.type = Type::Number;
        } else if (rest.startsWith(QLatin1String("expand:"))) {
            int p = 7;
            if (!unquote(rest, p, &v.text))
                continue;
            v.type = Type::ExpandString;
        } else {
            int p = 0;
            if (!unquote(rest, p, &v.text))
                continue;
            v.type = Type::String;
        }
        current->values.append(v);
    }
}

bool RegistryStore::save() {
    const QString dir = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(dir))
        return false;
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&f);
    out.setEncoding(QStringConverter::Utf8);
    out << "; Tickora Creator settings registry\n";
    for (const Section& s : m_sections) {
        out << "\n[" << s.path << "]\n";
        for (const Value& v : s.values) {
            out << (v.name.isEmpty() ? QStringLiteral("@") : quote(v.name)) << '=';
            if (v.type == Type::Number)
                out << "dword:"
                    << QString::number(v.number, 16).rightJustified(8, QLatin1Char('0'));
            else if (v.type == Type::ExpandString)
                out << "expand:" << quote(v.text);
            else
                out << quote(v.text);
            out << '\n';
        }
    }
    out.flush();
    return f.commit();
}

int RegistryStore::sectionIndex(const QString& path) const {
    for (int i = 0; i < m_sections.size(); ++i) {
        if (m_sections[i].path.compare(path, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool RegistryStore::keyExists(const QString& path) const {
    // A key exists when it was written itself or is the parent of one that was.
    const QString prefix = path + QLatin1Char('\\');
    for (const Section& s : m_sections) {
        if (s.path.compare(path, Qt::CaseInsensitive) == 0 ||
            s.path.startsWith(prefix, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

const RegistryStore::Handle* RegistryStore::handle(Key key) const {
    auto it = m_handles.constFind(key);
    return it == m_handles.constEnd() ? nullptr : &it.value();
}

long RegistryStore::open(Root root, const QString& subKey, quint32 rights, Key* key) {
    if (!key)
        return InvalidParameter;
    *key = 0;
    reload();
    const QString path = canonicalPath(root, subKey);
    // The predefined roots always exist; everything below them only once written.
    if (!cleanSubKey(subKey).isEmpty() && !keyExists(path))
        return FileNotFound;
    if (wantsWrite(rights) && !writable())
        return AccessDenied;
    *key = m_nextKey++;
    m_handles.insert(*key, Handle{path, rights});
    return Success;
}

long RegistryStore::create(Root root, const QString& subKey, quint32 rights, Key* key,
                           bool* created) {
    if (!key)
        return InvalidParameter;
    *key = 0;
    if (created)
        *created = false;
    reload();
    const QString path = canonicalPath(root, subKey);
    if (!keyExists(path)) {
        if (!writable())
            return AccessDenied;
        m_sections.append(Section{path, {}});
        if (const long status = commitChange(); status != Success)
            return status;
        if (created)
            *created = true;
    } else if (wantsWrite(rights) && !writable()) {
        return AccessDenied;
    }
    *key = m_nextKey++;
    m_handles.insert(*key, Handle{path, rights});
    return Success;
}

long RegistryStore::close(Key key) {
    return m_handles.remove(key) ? Success : InvalidHandle;
}

long RegistryStore::enumValue(Key key, int index, Value* value) {
    const Handle* h = handle(key);
    if (!h)
        return InvalidHandle;
    if (!(h->rights & QueryValue))
        return AccessDenied;
    const int i = sectionIndex(h->path);
    if (index < 0 || i < 0 || index >= m_sections[i].values.size())
        return NoMoreItems;
    if (value)
        *value = m_sections[i].values[index];
    return Success;
}

long RegistryStore::queryValue(Key key, const QString& name, Value* value) {
    const Handle* h = handle(key);
    if (!h)
        return InvalidHandle;
    if (!(h->rights & QueryValue))
        return AccessDenied;
    const int i = sectionIndex(h->path);
    if (i < 0)
        return FileNotFound;
    for (const Value& v : m_sections[i].values) {
        if (v.name.compare(name, Qt::CaseInsensitive) == 0) {
            if (value)
                *value = v;
            return Success;
        }
    }
    return FileNotFound;
}

long RegistryStore::beginChange(Key key, QString* path) {
    const Handle* h = handle(key);
    if (!h)
        return InvalidHandle;
    if (!(h->rights & SetValue) || !writable())
        return AccessDenied;
    *path = h->path;
    reload(); // keep what another instance wrote meanwhile
    return Success;
}

long RegistryStore::commitChange() {
    if (save())
        return Success;
    reload(); // the file is unchanged; so is what we hold
    return AccessDenied;
}

long RegistryStore::writeValue(Key key, const Value& v) {
    QString path;
    if (const long status = beginChange(key, &path); status != Success)
        return status;
    int i = sectionIndex(path);
    if (i < 0) {
        m_sections.append(Section{path, {}});
        i = m_sections.size() - 1;
    }
    QList<Value>& values = m_sections[i].values;
    bool replaced = false;
    for (Value& old : values) {
        if (old.name.compare(v.name, Qt::CaseInsensitive) == 0) {
            // The name keeps the case it was first written with.
            old.type = v.type;
            old.text = v.text;
            old.number = v.number;
            replaced = true;
            break;
        }
    }
    if (!replaced)
        values.append(v);
    return commitChange();
}

long RegistryStore::setString(Key key, const QString& name, const QString& data, Type type) {
    if (type != Type::String && type != Type::ExpandString)
        return InvalidParameter;
    Value v;
    v.name = name;
    v.type = type;
    v.text = data;
    return writeValue(key, v);
}

long RegistryStore::setNumber(Key key, const QString& name, quint32 data) {
    Value v;
    v.name = name;
    v.type = Type::Number;
    v.number = data;
    return writeValue(key, v);
}

long RegistryStore::deleteValue(Key key, const QString& name) {
    QString path;
    if (const long status = beginChange(key, &path); status != Success)
        return status;
    const int i = sectionIndex(path);
    if (i < 0)
        return FileNotFound;
    QList<Value>& values = m_sections[i].values;
    for (int j = 0; j < values.size(); ++j) {
        if (values[j].name.compare(name, Qt::CaseInsensitive) == 0) {
            values.removeAt(j);
            return commitChange();
        }
    }
    return FileNotFound;
}

QString RegistryStore::expandEnvironment(const QString& text) {
    QString out;
    int pos = 0;
    while (pos < text.size()) {
        const int start = text.indexOf(QLatin1Char('%'), pos);
        if (start < 0)
            break;
        const int end = text.indexOf(QLatin1Char('%'), start + 1);
        if (end < 0)
            break;
        out += text.mid(pos, start - pos);
        const QString name = text.mid(start + 1, end - start - 1);
        const QByteArray local = name.toLocal8Bit();
        if (!name.isEmpty() && qEnvironmentVariableIsSet(local.constData())) {
            out += qEnvironmentVariable(local.constData());
            pos = end + 1;
        } else {
            out += text.mid(start, end - start + 1); // not a variable: kept as written
            pos = end + 1;
        }
    }
    out += text.mid(pos);
    return out;
}

} // namespace platform
