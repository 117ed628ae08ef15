// The extractor on any note, RTF or plain: it must show exactly the text of
// the document the reader builds from the same note.

#include "fuzz_common.h"

#include "platform/richtext/note_file.h"
#include "platform/richtext/plain_text.h"
#include "platform/richtext/rich_format.h"
#include "platform/richtext/rtf_reader.h"

#include <QTextDocument>

using namespace mosswick::richtext;

namespace {

void check(const QString& note)
{
    QTextDocument doc;
    read_note(note, doc, reset_char_format(), reset_block_format());
    const QString extracted = extract_plain_text(note);
    const QString shown = plain_text_of(doc);
    if (extracted != shown)
        fail("the extractor and the document disagree", extracted, shown);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    start_application(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    check(decode_note_file(bytes)); // a .txt or .rtf note file
    const QString note = as_utf16(data, size); // a stored note string
    check(note);
    if (!is_rtf(note))
        check(QStringLiteral("{\\rtf1 ") + note);
    return 0;
}
