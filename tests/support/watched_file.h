#pragma once

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

// A file an attack aims at (a secret, a shell's start-up file): written with
// known bytes and an old modification time, so that any write, append or
// replacement shows.
class WatchedFile {
public:
    explicit WatchedFile(QString path, const QByteArray& bytes = "export SECRET=1\n") : m_path(std::move(path)), m_bytes(bytes)
    {
        QFile f(m_path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << m_path.toStdString();
        f.write(m_bytes);
        f.close();
        const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(m_path).constData(), old, 0);
        m_mtime = mtime();
    }

    // A file that is there already, watched as it is.
    static WatchedFile as_it_is(const QString& path)
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        return WatchedFile(path, f.readAll(), 0);
    }

    const QString& path() const { return m_path; }

    // Same bytes, same modification time, still a plain file.
    void expect_untouched() const
    {
        EXPECT_TRUE(QFileInfo(m_path).isFile() && !QFileInfo(m_path).isSymLink()) << m_path.toStdString();
        QFile f(m_path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), m_bytes) << m_path.toStdString() << " was written to";
        EXPECT_EQ(mtime(), m_mtime) << m_path.toStdString() << " was touched";
    }

private:
    WatchedFile(QString path, QByteArray bytes, int) : m_path(std::move(path)), m_bytes(std::move(bytes)), m_mtime(mtime()) {}

    qint64 mtime() const
    {
        struct stat st {};
        ::stat(QFile::encodeName(m_path).constData(), &st);
        return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    }

    QString m_path;
    QByteArray m_bytes;
    qint64 m_mtime = 0;
};

// Makes a symbolic link at link pointing to target (which may not exist).
inline bool make_link(const QString& target, const QString& link)
{
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) == 0;
}

} // namespace testsupport
