#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QMimeData;
class QWidget;

namespace mosswick::richtext {

// MIME types that carry RTF on the clipboard; the first two are written,
// all three are read ("text/richtext" only when it holds RTF).
const QStringList& rtf_mime_types();

// The RTF text of a clipboard item; empty when it carries none.
QString rtf_from_mime_data(const QMimeData& data);

// A clipboard item carrying RTF (text/rtf and application/rtf) and its
// plain text (text/plain).
std::unique_ptr<QMimeData> make_rich_mime_data(const QString& rtf, const QString& plain_text);

// The system clipboard's RTF text; empty when it has none.
QString clipboard_rtf();

// The system clipboard's plain text; empty when it has none.
QString clipboard_text();

// "Paste RTF": the target's selection becomes the clipboard's RTF content
// (interpreted in a rich-text box, its plain text in a plain text box);
// without RTF on the clipboard the selection is replaced by nothing. False,
// and nothing changed, when the target is null, read-only or has no
// selection to replace.
bool paste_rtf_into(QWidget* target);

// "Paste Text": the same with the clipboard's plain text, inserted in the
// target's typing format.
bool paste_text_into(QWidget* target);

} // namespace mosswick::richtext
