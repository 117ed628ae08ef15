#include "platform/picture/metafile_text.h"

#include "platform/richtext/code_pages.h"

namespace mosswick::picture::metafile {

QString decode_ansi(QByteArrayView bytes, int charset, const std::vector<double>& byte_dx, std::vector<double>* dx)
{
    using richtext::CodePage;
    const CodePage& page = CodePage::get(CodePage::for_charset(charset, 1252));
    const bool spaced = qsizetype(byte_dx.size()) >= bytes.size();
    QString out;
    out.reserve(bytes.size());
    dx->clear();
    qsizetype i = 0;
    while (i < bytes.size()) {
        const uchar first = uchar(bytes[i]);
        const qsizetype n = std::min<qsizetype>(page.sequence_length(first), bytes.size() - i);
        const QString part = n <= 1 ? QString(QChar(page.byte(first))) : page.decode_sequence(bytes.sliced(i, n));
        double advance = 0;
        if (spaced)
            for (qsizetype k = 0; k < std::max<qsizetype>(n, 1); ++k)
                advance += byte_dx[size_t(i + k)];
        for (qsizetype k = 0; k < part.size(); ++k) {
            out.append(part[k]);
            if (spaced)
                dx->push_back(k == 0 ? advance : 0);
        }
        i += std::max<qsizetype>(n, 1);
    }
    return out;
}

} // namespace mosswick::picture::metafile
