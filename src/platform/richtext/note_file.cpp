#include "platform/richtext/note_file.h"

#include "platform/richtext/code_pages.h"
#include "platform/richtext/rtf_reader.h"

#include <QFile>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mosswick::richtext {

QString decode_text_file(QByteArrayView bytes)
{
    if (bytes.size() >= 2) {
        const auto b0 = static_cast<unsigned char>(bytes[0]);
        const auto b1 = static_cast<unsigned char>(bytes[1]);
        if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF)) {
            QStringDecoder utf16(b0 == 0xFF ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                                 QStringConverter::Flag::Stateless);
            return utf16.decode(bytes.sliced(2));
        }
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    const CodePage& cp1252 = CodePage::get(1252);
    text.clear();
    text.reserve(bytes.size());
    for (char c : bytes)
        text.append(QChar(cp1252.byte(static_cast<unsigned char>(c))));
    return text;
}

QString decode_note_file(QByteArrayView bytes)
{
    if (bytes.startsWith("{\\rtf"))
        return rtf_from_bytes(bytes);
    return decode_text_file(bytes);
}

std::optional<QString> read_note_file(const QString& path, QString* error_message, NoteLinks links)
{
    auto refuse = [&](const QString& why) {
        if (error_message)
            *error_message = QStringLiteral("Cannot read the note file %1: %2").arg(path, why);
        return std::nullopt;
    };
    // Pipes and devices are no note files (opening one could wait forever);
    // the check is made on what was opened, so nothing can be swapped in
    // between.
    int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    if (links == NoteLinks::Refuse)
        flags |= O_NOFOLLOW;
    const int fd = ::open(QFile::encodeName(path).constData(), flags);
    if (fd < 0)
        return refuse(errno == ELOOP && links == NoteLinks::Refuse ? QStringLiteral("a link, not a plain file")
                                                                   : QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return refuse(QStringLiteral("not a regular file"));
    }
    if (links == NoteLinks::Refuse && st.st_nlink != 1) {
        ::close(fd);
        return refuse(QStringLiteral("a link, not a plain file"));
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refuse(file.errorString());
    }
    if (file.size() > k_max_note_file_bytes) {
        if (error_message)
            *error_message = QStringLiteral("The note file %1 is too large (%2 bytes).")
                                 .arg(path)
                                 .arg(file.size());
        return std::nullopt;
    }
    const QByteArray bytes = file.read(k_max_note_file_bytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > k_max_note_file_bytes) {
        if (error_message)
            *error_message = QStringLiteral("Cannot read the note file %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return decode_note_file(bytes);
}

} // namespace mosswick::richtext
