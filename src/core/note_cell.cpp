#include "core/note_cell.h"

#include "platform/richtext/rich_text_box.h"

namespace mosswick {

void show_note_in_cell(richtext::RichTextBox& box, const QString& value)
{
    box.set_preview(value, notes::k_cell_note_limit, QString::fromLatin1(notes::k_note_continues));
}

} // namespace mosswick
