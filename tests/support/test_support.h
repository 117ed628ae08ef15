#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class QWidget;

namespace testsupport {

// A temporary folder removed at the end of the test; path() ends without '/'.
class TempDir {
public:
    TempDir();
    QString path() const { return m_dir.path(); }
    // Returns path() + "/" + name.
    QString file(const QString& name) const;
    // Writes bytes to a file in the folder and returns its full path.
    QString write(const QString& name, const QByteArray& bytes) const;
private:
    QTemporaryDir m_dir;
};

// Encodes a generated picture (a gradient with a marker colour) of the given
// size in the given format ("png", "jpg", "bmp", "gif", "tif", "ico").
QByteArray make_picture_bytes(int width, int height, const char* format, QColor marker = Qt::red);

// Writes a generated picture to path; returns false when Qt cannot encode it.
bool write_picture(const QString& path, int width, int height, const char* format, QColor marker = Qt::red);

// Reads a whole file; empty when it cannot be read.
QByteArray read_all(const QString& path);

// The names of the folder's files, hidden ones too, sorted.
QStringList folder_listing(const TempDir& dir);

// Types text into a widget as key presses, letters beyond ASCII too.
void type_text(QWidget* widget, const QString& text);

} // namespace testsupport

#include <ostream>

// Readable test failure messages for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
