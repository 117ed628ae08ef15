// The reader on any input, and the writer on what it reads: writing the
// document, reading that and writing again must give the same RTF and the
// same text.

#include "fuzz_common.h"

#include "platform/richtext/plain_text.h"
#include "platform/richtext/rtf_reader.h"
#include "platform/richtext/rtf_writer.h"

#include <QTextDocument>

using namespace mosswick::richtext;

namespace {

void check(const QString& rtf)
{
    QTextDocument doc;
    read_rtf(rtf, doc);
    const QString first = write_rtf(doc);
    QTextDocument again;
    read_rtf(first, again);
    if (plain_text_of(again) != plain_text_of(doc))
        fail("the written note shows other text", plain_text_of(doc), plain_text_of(again));
    const QString second = write_rtf(again);
    if (second != first)
        fail("writing what was written changes it", first, second);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    start_application(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // As the bytes of an .rtf file or a clipboard item; inputs that do not
    // start like RTF are made to, so that every input reaches the parser.
    QString rtf = rtf_from_bytes(QByteArrayView(data, qsizetype(size)));
    if (!is_rtf(rtf))
        rtf.prepend(QStringLiteral("{\\rtf1 "));
    check(rtf);
    // As a stored note string.
    QString note = as_utf16(data, size);
    if (!is_rtf(note))
        note.prepend(QStringLiteral("{\\rtf1 "));
    check(note);
    return 0;
}
