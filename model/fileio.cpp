#include "fileio.h"

#include <QDir>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileio {

namespace {

QString reason(int e) {
    return QString::fromLocal8Bit(strerror(e));
}

QString shown(const QByteArray& nativePath) {
    return QDir::toNativeSeparators(pathFromNative(nativePath));
}

// A write beyond the file-size limit raises SIGXFSZ, which ends the process unless it is
// blocked; blocked, the write fails with EFBIG and the save can say so.
class FileSizeSignalBlock {
public:
    FileSizeSignalBlock() {
        sigemptyset(&m_set);
        sigaddset(&m_set, SIGXFSZ);
        pthread_sigmask(SIG_BLOCK, &m_set, &m_old);
    }
    ~FileSizeSignalBlock() {
        if (!sigismember(&m_old, SIGXFSZ)) {
            const timespec zero{0, 0};
            while (sigtimedwait(&m_set, nullptr, &zero) > 0) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
    FileSizeSignalBlock(const FileSizeSignalBlock&) = delete;
    FileSizeSignalBlock& operator=(const FileSizeSignalBlock&) = delete;

private:
    sigset_t m_set;
    sigset_t m_old;
};

// 0, or the errno of the failure.
int writeAllAt(int fd, const char* data, qint64 size, off_t offset) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size_t(size), offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        data += n;
        size -= n;
        offset += n;
    }
    return 0;
}

int syncAndClose(int fd) {
    int e = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno; // EINVAL: cannot be synced
    if (::close(fd) != 0 && e == 0)
        e = errno;
    return e;
}

// Reads to the end, straight into one buffer of the expected size (a file may still grow, or
// report no size at all, as some system files do).
int readAll(int fd, qint64 expected, qint64 maxBytes, QByteArray* out) {
    QByteArray bytes(std::min(expected, maxBytes) + 1, Qt::Uninitialized);
    qint64 size = 0;
    for (;;) {
        if (size == bytes.size()) {
            if (size > maxBytes)
                return EFBIG;
            bytes.resize(std::min<qint64>(size * 2 + 65536, maxBytes + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + size, size_t(bytes.size() - size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            break;
        size += n;
    }
    if (size > maxBytes)
        return EFBIG;
    bytes.resize(size);
    *out = std::move(bytes);
    return 0;
}

QString tooLarge(qint64 maxBytes) {
    return QStringLiteral("it is larger than %1 MB, far too large for a scroller script")
        .arg(maxBytes / (1024 * 1024));
}

QString notRegular(mode_t mode) {
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder, not a file");
    return QStringLiteral("it is not a regular file but a device, a pipe or a socket");
}

// The folder of a native path.
QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArray(".");
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

QString writeInPlace(const QByteArray& target, const QByteArray& bytes) {
    const int rfd = ::open(target.constData(), O_RDONLY | O_CLOEXEC);
    if (rfd < 0)
        return reason(errno);
    QByteArray old;
    struct stat st;
    const int re = ::fstat(rfd, &st) != 0
                       ? errno
                       : readAll(rfd, st.st_size, std::numeric_limits<qsizetype>::max() / 4, &old);
    ::close(rfd);
    if (re != 0)
        return reason(re);

    const int fd = ::open(target.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return reason(errno);
    // The file is never emptied first: its old bytes stay until the new ones are written, and
    // go back on any failure.
    int e = writeAllAt(fd, bytes.constData(), bytes.size(), 0);
    if (e == 0 && ::ftruncate(fd, bytes.size()) != 0)
        e = errno;
    if (e == 0 && ::fsync(fd) != 0 && errno != EINVAL)
        e = errno;
    if (e == 0) {
        if (::close(fd) != 0)
            return reason(errno);
        return {};
    }
    bool restored =
        writeAllAt(fd, old.constData(), old.size(), 0) == 0 && ::ftruncate(fd, old.size()) == 0;
    restored = syncAndClose(fd) == 0 && restored;
    return reason(e) + (restored ? QStringLiteral("; the file still holds what it held before")
                                 : QStringLiteral("; the file could not be put back as it was "
                                                  "and may be damaged"));
}

} // namespace

QString pathFromNative(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    QString out;
    out.reserve(n);
    qsizetype i = 0;
    while (i < n) {
        // The longest valid UTF-8 sequence here, else one byte held as a lone surrogate.
        const unsigned char c = p[i];
        int len = c < 0x80             ? 1
                  : (c & 0xE0) == 0xC0 ? 2
                  : (c & 0xF0) == 0xE0 ? 3
                  : (c & 0xF8) == 0xF0 ? 4
                                       : 0;
        char32_t cp = len == 1 ? c : len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
        bool ok = len > 0 && i + len <= n;
        for (int k = 1; ok && k < len; ++k) {
            ok = (p[i + k] & 0xC0) == 0x80;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        static const char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        ok = ok && cp >= kMin[len] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
        if (!ok) {
            out += QChar(char16_t(0xDC00 + c));
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            out += QChar::highSurrogate(cp);
            out += QChar::lowSurrogate(cp);
        } else {
            out += QChar(char16_t(cp));
        }
        i += len;
    }
    return out;
}

QByteArray pathToNative(const QString& path) {
    QByteArray out;
    out.reserve(path.size());
    const qsizetype n = path.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = path[i].unicode();
        const bool pairStart =
            QChar::isHighSurrogate(c) && i + 1 < n && path[i + 1].isLowSurrogate();
        if (pairStart) {
            ++i;
            continue;
        }
        if (c >= 0xDC80 && c <= 0xDCFF && !(i > 0 && path[i - 1].isHighSurrogate())) {
            out += QStringView(path).mid(start, i - start).toUtf8();
            out += char(c - 0xDC00);
            start = i + 1;
        }
    }
    out += QStringView(path).mid(start).toUtf8();
    return out;
}

ReadResult readRegularFile(const QString& path, qint64 maxBytes) {
    ReadResult r;
    const QByteArray native = pathToNative(path);
    // Not blocking: a pipe would otherwise wait for a writer before it can be refused.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        r.error = reason(errno);
        return r;
    }
    r.opened = true;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        r.error = reason(errno);
    } else if (!S_ISREG(st.st_mode)) {
        r.error = notRegular(st.st_mode);
    } else if (st.st_size > maxBytes) {
        r.error = tooLarge(maxBytes);
    } else {
        const int e = readAll(fd, st.st_size, maxBytes, &r.bytes);
        if (e == EFBIG)
            r.error = tooLarge(maxBytes);
        else if (e != 0)
            r.error = reason(e);
        else
            r.ok = true;
    }
    ::close(fd);
    return r;
}

QString writeFile(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty())
        return QStringLiteral("no file name was given");
    const FileSizeSignalBlock block;
    const QByteArray given = pathToNative(path);
    struct stat st;
    const bool exists = ::stat(given.constData(), &st) == 0;
    if (!exists && errno != ENOENT)
        return reason(errno);
    if (exists && !S_ISREG(st.st_mode))
        return notRegular(st.st_mode) + QStringLiteral(", so it is not replaced");
    if (exists && ::faccessat(AT_FDCWD, given.constData(), W_OK, AT_EACCESS) != 0)
        return QStringLiteral("the file may not be written (%1)").arg(reason(errno));

    // Through a link, the file it leads to is replaced and the link stays.
    QByteArray target = given;
    if (exists) {
        if (char* real = ::realpath(given.constData(), nullptr)) {
            target = real;
            free(real);
        }
    }
    const QByteArray folder = folderOf(target);
    const QByteArray base = target.mid(target.lastIndexOf('/') + 1).left(200);
    mode_t mode;
    if (exists) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    // A file without a name first, so a save that is killed leaves nothing behind; a named
    // one where the file system cannot make such a file.
    QByteArray temp;
    int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0 && errno != EACCES && errno != EPERM && errno != ENOENT && errno != ENOSPC &&
        errno != EROFS && errno != EDQUOT) {
        temp = folder + "/." + base + ".XXXXXX";
        fd = ::mkostemp(temp.data(), O_CLOEXEC);
    }
    if (fd < 0) {
        const int e = errno;
        if ((e == EACCES || e == EPERM) && exists)
            return writeInPlace(target, bytes);
        if (e == EACCES || e == EPERM)
            return QStringLiteral("you may not create files in the folder \"%1\" (%2)")
                .arg(shown(folder), reason(e));
        if (e == ENOENT)
            return QStringLiteral("the folder \"%1\" does not exist").arg(shown(folder));
        return reason(e);
    }
    ::fchmod(fd, mode);
    if (exists && ::geteuid() == 0 && ::fchown(fd, st.st_uid, st.st_gid) != 0) {
        // Keeping the owner is a courtesy; the file is still written.
    }
    int e = writeAllAt(fd, bytes.constData(), bytes.size(), 0);
    if (e == 0 && ::fsync(fd) != 0 && errno != EINVAL)
        e = errno;
    if (e == 0 && temp.isEmpty()) {
        // The complete file gets a name beside the target just before it replaces it.
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        for (int attempt = 0; attempt < 100; ++attempt) {
            temp = folder + "/." + base + "." + QByteArray::number(::getpid()) + "." +
                   QByteArray::number(attempt);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, temp.constData(),
                         AT_SYMLINK_FOLLOW) == 0) {
                e = 0;
                break;
            }
            e = errno;
            temp.clear();
            if (e != EEXIST)
                break;
        }
    }
    if (::close(fd) != 0 && e == 0)
        e = errno;
    if (e == 0 && ::rename(temp.constData(), target.constData()) != 0)
        e = errno;
    if (e != 0) {
        if (!temp.isEmpty())
            ::unlink(temp.constData());
        return reason(e);
    }
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

} // namespace fileio
