// The environment half of the help class: the file checks every display runs first, the
// message boxes, the list of registered help files and the viewer's version checks.
#include "htmlhelp.h"

#include <QDir>
#include <QFileInfo>

using platform::Dialogs;
using platform::RegistryStore;

namespace {

const QChar kSep = QDir::separator();
const QString kRegisteredFilesKey = QStringLiteral("Software\\Microsoft\\Windows\\HTML Help");
const QString kViewerClassKey =
    QStringLiteral("CLSID\\{4662DAB0-D393-11D0-9A56-00C04FB68B66}\\InprocServer32");
const QString kBrowserClassKey =
    QStringLiteral("CLSID\\{0A89A860-D7B1-11CE-8350-444553540000}\\InProcServer32");
const QString kViewerTypeLibKey =
    QStringLiteral("SOFTWARE\\Classes\\TypeLib\\{ADB880A2-D8FF-11CF-9377-00AA003B7A11}");
constexpr int kNameBufferChars = 2048;
constexpr int kExpandedChars = 2048;

QString bareName(const QString& path) {
    return path.mid(path.lastIndexOf(kSep) + 1);
}

bool hasExtension(const QString& file, const char* ext) {
    return file.right(3).compare(QLatin1String(ext), Qt::CaseInsensitive) == 0;
}

struct VersionName {
    const char* version;
    const char* name;
};

const VersionName kViewerNames[] = {
    {"4.72.7290.00", "1.0"},
    {"4.72.7323.00", "1.1"},
    {"4.72.7325.00", "1.1a"},
    {"4.72.8164.00", "1.1b"},
    {"4.73.8252.00", "1.2"},
    {"4.73.8412.00", "1.21"},
    {"4.73.8474.00", "1.21a"},
    {"4.73.8561.00", "1.22"},
    {"4.74.8566.00", "1.3 Windows 2000 Beta"},
    {"4.74.8637.00", "1.3 IE 5.5 Platform Preview Beta"},
    {"4.74.8702.00", "1.3"},
};

const VersionName kBrowserNames[] = {
    {"4.70.1155.0000", "3.0"},
    {"4.70.1158.0000", "3.0 OSR2"},
    {"4.70.1215.0000", "3.02"},
    {"4.70.1300.0000", "3.02"},
    {"4.71.1008.3000", "4.0 PP2"},
    {"4.71.1712.5000", "4.0"},
    {"4.72.2106.7000", "4.01"},
    {"4.72.3110.0300", "4.0 SP1"},
    {"4.72.3612.1707", "4.0 SP2"},
    {"5.00.0518.5000", "5.0 beta 1"},
    {"5.00.0910.1308", "5.0 beta 2"},
    {"5.00.2014.2130", "5.0"},
    {"5.00.2314.1000", "5.0a (Office 2000)"},
    {"5.00.2614.3500", "5.0b (Windows 98 SE)"},
    {"5.00.2717.2000", "5.0c (Icon Security Issue Update)"},
    {"5.00.2721.1400", "5.0d (ImportExport Favorites Issue Update)"},
    {"5.00.2919.800", "5.x (Windows 2000 RC1, build 5.00.2072)"},
    {"5.00.2919.3800", "5.x (Windows 2000 RC2, build 5.00.2128)"},
    {"5.00.2919.6307", "5.01"},
    {"5.50.3825.1300", "5.5 Platform Preview"},
};

template <size_t N> QString lookupName(const VersionName (&table)[N], const QString& version) {
    for (const VersionName& v : table) {
        if (version.compare(QLatin1String(v.version), Qt::CaseInsensitive) == 0)
            return QLatin1String(v.name);
    }
    return QStringLiteral("unknown");
}

struct MinimumVersion {
    qint32 code;
    const char* version;
};

const MinimumVersion kViewerMinimums[] = {
    {16, "4.72.7290"}, {17, "4.72.7323"}, {18, "4.72.7325"}, {19, "4.72.8164.0"},
    {20, "4.73.8252"}, {21, "4.73.8412"}, {22, "4.73.8474"}, {23, "4.73.8561"},
    {24, "4.74.8566"}, {25, "4.74.8637"}, {26, "4.74.8702"},
};

// Codes 274 and 275 select the two later browser releases the class knows by version only.
const MinimumVersion kBrowserMinimums[] = {
    {256, "4.70.1155"},      {257, "4.70.1158"},      {258, "4.70.1215"},
    {259, "4.70.1300"},      {260, "4.71.1008.3"},    {261, "4.71.1712.5"},
    {262, "4.72.2106.7"},    {263, "4.72.3110.03"},   {264, "4.72.3612.1707"},
    {265, "5.00.0518.5"},    {266, "5.00.0910.1308"}, {267, "5.00.2014.213"},
    {268, "5.00.2314.1000"}, {269, "5.00.2614.3500"}, {270, "5.0.2717.2000"},
    {271, "5.00.2721.1400"}, {272, "5.00.2919.800"},  {273, "5.00.2919.3800"},
    {274, "5.00.2919.6307"}, {275, "5.50.3825.1300"},
};

template <size_t N> const char* lookupMinimum(const MinimumVersion (&table)[N], qint32 code) {
    for (const MinimumVersion& m : table) {
        if (m.code == code)
            return m.version;
    }
    return nullptr;
}

} // namespace

const QString& HTMLHelp::messageTitle() {
    static const QString title = QStringLiteral("HTML Help Class");
    return title;
}

bool HTMLHelp::CheckChmFile(const QString& file) {
    if (hasExtension(file, "chm"))
        return true;
    ShowWarningBox(file + QLatin1String(" is not a valid HTML Help file."));
    return false;
}

bool HTMLHelp::CheckPopupFile(const QString& file) {
    if (hasExtension(file, "txt"))
        return true;
    ShowWarningBox(QLatin1String("The file specified as the text popup source, '") + file +
                   QLatin1String("', is not a valid popup file."));
    return false;
}

QString HTMLHelp::fileSearch(const QString& pattern) const {
    // Like the platform's directory search: an existing file or folder, or any match of a
    // wildcard name; names match without regard to case, as registered names do. Answers the
    // entry found (the pattern itself when it matches as written), or an empty text.
    if (pattern.isEmpty())
        return QString();
    const QFileInfo fi(pattern);
    if (fi.exists())
        return pattern;
    const QString name = fi.fileName();
    if (name.isEmpty())
        return QString();
    const QStringList found = fi.absoluteDir().entryList(
        {name}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (found.isEmpty())
        return QString();
    if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?')) ||
        name.contains(QLatin1Char('[')))
        return pattern;
    return pattern.left(pattern.size() - name.size()) + found.first();
}

bool HTMLHelp::EnsureFileExists(QString& FileToFind) {
    if (!FileToFind.contains(kSep)) {
        HHCheckRegistry(FileToFind);
        if (m_HHRegFileName.isEmpty())
            FileToFind = m_appFolder + kSep + FileToFind;
        else
            FileToFind = m_HHRegFilePath + m_HHRegFileName; // the stored folder ends in a separator
    }
    const QString found = fileSearch(FileToFind);
    if (!found.isEmpty()) {
        FileToFind = found; // the name as the file system spells it
        return true;
    }
    ShowWarningBox(QLatin1String("The file ") + FileToFind + QLatin1String(" does not exist.") +
                   QChar(10) +
                   QLatin1String("Please make sure the correct path and file name have been "
                                 "specified."));
    return false;
}

bool HTMLHelp::GetRootKey(const QString& rootName, RegistryStore::Root* root) {
    static const struct {
        const char* name;
        RegistryStore::Root root;
    } roots[] = {
        {"HKCU", RegistryStore::Root::CurrentUser},   {"HKLM", RegistryStore::Root::LocalMachine},
        {"HKU", RegistryStore::Root::Users},          {"HKDD", RegistryStore::Root::DynData},
        {"HKCC", RegistryStore::Root::CurrentConfig}, {"HKCR", RegistryStore::Root::ClassesRoot},
    };
    for (const auto& r : roots) {
        if (rootName.compare(QLatin1String(r.name), Qt::CaseInsensitive) == 0) {
            *root = r.root;
            return true;
        }
    }
    return false;
}

HTMLHelp::RegValue HTMLHelp::ReadRegValue(const QString& rootName, const QString& keyPath,
                                          const QString& valueName) {
    RegValue result;
    RegistryStore::Root root;
    if (!GetRootKey(rootName, &root))
        return result;
    RegistryStore::Key key = 0;
    if (m_registry.open(root, keyPath, RegistryStore::QueryValue, &key) != RegistryStore::Success)
        return result;
    for (int index = 0;; ++index) {
        RegistryStore::Value v;
        if (m_registry.enumValue(key, index, &v) != RegistryStore::Success)
            break;
        if (v.type != RegistryStore::Type::String && v.type != RegistryStore::Type::ExpandString)
            continue;
        if (v.name.left(kNameBufferChars - 1).compare(valueName, Qt::CaseInsensitive) != 0)
            continue;
        QString data = v.text;
        if (v.type == RegistryStore::Type::ExpandString)
            data = RegistryStore::expandEnvironment(data).left(kExpandedChars);
        result.found = true;
        result.name = valueName;
        result.data = StripNull(data);
        break;
    }
    m_registry.close(key);
    return result;
}

bool HTMLHelp::RegKeyExists(const QString& keyPath) {
    RegistryStore::Key key = 0;
    if (m_registry.open(RegistryStore::Root::LocalMachine, keyPath, RegistryStore::AllAccess,
                        &key) != RegistryStore::Success)
        return false;
    return m_registry.close(key) == RegistryStore::Success;
}

void HTMLHelp::HHCheckRegistry(const QString& FileToCheck) {
    if (FileToCheck.isEmpty())
        return;
    m_HHRegFileExists = false;
    if (!CheckChmFile(FileToCheck))
        return;
    const QString bare = bareName(FileToCheck);
    const RegValue found = ReadRegValue(QStringLiteral("HKLM"), kRegisteredFilesKey, bare);
    if (!found.found || found.name.compare(bare, Qt::CaseInsensitive) != 0) {
        m_HHRegFileName.clear();
        m_HHRegFilePath.clear();
        return;
    }
    m_HHRegFileName = bare;
    m_HHRegFilePath = found.data;
    QString registered = m_HHRegFilePath + kSep + m_HHRegFileName;
    if (EnsureFileExists(registered))
        m_HHRegFileExists = true;
}

void HTMLHelp::HHRegister(QString& FileToRegister) {
    if (FileToRegister.isEmpty() || !CheckChmFile(FileToRegister))
        return;
    HHCheckRegistry(FileToRegister);
    if (!m_HHRegFileName.isEmpty()) {
        ShowInfoBox(QLatin1String("The file ") + FileToRegister +
                    QLatin1String(" is already registered.  ") +
                    QLatin1String("HHRegister will not be run as no action need be taken."));
        return;
    }
    const QString supplied = FileToRegister;
    if (!CheckChmFile(FileToRegister) || !EnsureFileExists(FileToRegister))
        return;
    if (!supplied.contains(kSep)) {
        ShowWarningBox(QLatin1String("Cannot register ") + supplied +
                       QLatin1String(" without having a supplied path.\""));
        return;
    }
    const QString bare = bareName(FileToRegister);
    const QString folder = FileToRegister.left(FileToRegister.size() - bare.size());
    FileToRegister = bare;

    RegistryStore::Key key = 0;
    if (m_registry.create(RegistryStore::Root::LocalMachine, kRegisteredFilesKey,
                          RegistryStore::SetValue | RegistryStore::CreateSubKey,
                          &key) != RegistryStore::Success) {
        ShowWarningBox(QStringLiteral("HTML Help Class: HHRegister Error"));
        return;
    }
    const long written = m_registry.setString(key, bare, folder);
    m_registry.close(key); // also after a failed write, so no key stays open
    if (written != RegistryStore::Success)
        HHCheckRegistry(bare);
}

void HTMLHelp::HHUnRegister(QString& FileToUnRegister) {
    if (FileToUnRegister.isEmpty() || !CheckChmFile(FileToUnRegister))
        return;
    HHCheckRegistry(FileToUnRegister);
    if (m_HHRegFileName.isEmpty()) {
        ShowInfoBox(QLatin1String("The file ") + FileToUnRegister +
                    QLatin1String(" is not registered.  ") +
                    QLatin1String("HHUnRegister will not be run as no action need be taken."));
        return;
    }
    FileToUnRegister = bareName(FileToUnRegister);
    RegistryStore::Key key = 0;
    if (m_registry.open(RegistryStore::Root::LocalMachine, kRegisteredFilesKey,
                        RegistryStore::SetValue, &key) == RegistryStore::Success) {
        m_registry.deleteValue(key, FileToUnRegister);
        m_registry.close(key);
    }
    HHCheckRegistry(FileToUnRegister);
}

QString HTMLHelp::HHSetHelpFile(qint16 intSelHelpFile) const {
    switch (intSelHelpFile) {
    case 1:
        return m_appFolder + kSep + QLatin1String("Library.chm");
    case 2:
        return QStringLiteral("Library.txt");
    default:
        return QString();
    }
}

bool HTMLHelp::HHInstalled() {
    m_installed = RegKeyExists(kViewerTypeLibKey);
    return m_installed;
}

QString HTMLHelp::readLibraryVersion(const QString& clsidKey, const QString& notRegistered,
                                     const QString& notFound, bool* found) {
    *found = false;
    const RegValue v = ReadRegValue(QStringLiteral("HKCR"), clsidKey, QString());
    if (!v.found) {
        ShowErrorBox(notRegistered);
        return QString();
    }
    const QString path = GetLongPath(StripNull(v.data));
    if (fileSearch(path).isEmpty()) {
        ShowErrorBox(notFound);
        return QString();
    }
    *found = true;
    return GetFileVersionText(path);
}

void HTMLHelp::ReadHHVersion() {
    bool found = false;
    const QString version =
        readLibraryVersion(kViewerClassKey,
                           QLatin1String("Hhctrl.ocx is not registered.  ") +
                               QLatin1String("Please install HTML Help."),
                           QLatin1String("Hhctrl.ocx is not in its registered location.  ") +
                               QLatin1String("Please reinstall HTML Help."),
                           &found);
    if (found)
        m_HHVersion = version;
}

void HTMLHelp::ReadIEVersion() {
    bool found = false;
    const QString version =
        readLibraryVersion(kBrowserClassKey,
                           QLatin1String("Shdocvw.dll is not registered.  ") +
                               QLatin1String("Please install Internet Explorer."),
                           QLatin1String("Internet Explorer is not in its registered location.  ") +
                               QLatin1String("Please reinstall Internet Explorer."),
                           &found);
    if (found)
        m_IEVersion = version;
}

QString HTMLHelp::GetLongPath(const QString& path) {
    // Paths on this platform have no short form, so there is nothing to lengthen.
    return path;
}

QString HTMLHelp::StripNull(const QString& text) {
    const int nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

QString HTMLHelp::GetFileVersionText(const QString&) {
    // Files on this platform carry no version resource, so their version text is empty.
    return QString();
}

void HTMLHelp::LookupHHFriendlyName() {
    if (m_HHVersion.isEmpty())
        ReadHHVersion();
    m_HHFriendlyName = lookupName(kViewerNames, m_HHVersion);
}

void HTMLHelp::LookupIEFriendlyName() {
    if (m_IEVersion.isEmpty())
        ReadIEVersion();
    m_IEFriendlyName = lookupName(kBrowserNames, m_IEVersion);
}

QString HTMLHelp::HHVersion() {
    ReadHHVersion();
    return m_HHVersion;
}

QString HTMLHelp::IEVersion() {
    ReadIEVersion();
    return m_IEVersion;
}

QString HTMLHelp::HHFriendlyName() {
    LookupHHFriendlyName();
    return m_HHFriendlyName;
}

QString HTMLHelp::IEFriendlyName() {
    LookupIEFriendlyName();
    return m_IEFriendlyName;
}

bool HTMLHelp::HHVerifyMinConfig(qint32 MinHHVersion, qint32 MinIEVersion) {
    ReadHHVersion();
    ReadIEVersion();
    bool viewerOk = false;
    if (const char* min = lookupMinimum(kViewerMinimums, MinHHVersion))
        viewerOk = m_HHVersion.compare(QLatin1String(min), Qt::CaseInsensitive) >= 0;
    else
        m_HHVersion = QStringLiteral("unknown");
    bool browserOk = false;
    if (const char* min = lookupMinimum(kBrowserMinimums, MinIEVersion))
        browserOk = m_IEVersion.compare(QLatin1String(min), Qt::CaseInsensitive) >= 0;
    else
        m_IEVersion = QStringLiteral("unknown");
    LookupHHFriendlyName();
    LookupIEFriendlyName();
    return viewerOk && browserOk;
}

void HTMLHelp::ShowErrorBox(const QString& text) {
    m_dialogs.inform(nullptr, text, messageTitle(), Dialogs::Icon::Critical);
}

void HTMLHelp::ShowWarningBox(const QString& text) {
    m_dialogs.inform(nullptr, text, messageTitle(), Dialogs::Icon::Exclamation);
}

void HTMLHelp::ShowInfoBox(const QString& text) {
    m_dialogs.inform(nullptr, text, messageTitle(), Dialogs::Icon::Information);
}
