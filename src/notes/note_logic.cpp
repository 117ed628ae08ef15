#include "notes/note_logic.h"

#include "platform/store/schema.h"

namespace mosswick::notes {

namespace {

// The palette as it is drawn: six rows of eight colours (&HBBGGRR).
constexpr unsigned k_palette[k_palette_rows][k_palette_columns] = {
    {0xFFFFFF, 0xC0C0FF, 0xC0E0FF, 0xC0FFFF, 0xC0FFC0, 0xFFFFC0, 0xFFC0C0, 0xFFC0FF},
    {0xE0E0E0, 0x8080FF, 0x80C0FF, 0x80FFFF, 0x80FF80, 0xFFFF80, 0xFF8080, 0xFF80FF},
    {0xC0C0C0, 0x0000FF, 0x0080FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000, 0xFF00FF},
    {0x808080, 0x0000C0, 0x0040C0, 0x00C0C0, 0x00C000, 0xC0C000, 0xC00000, 0xC000C0},
    {0x404040, 0x000080, 0x004080, 0x008080, 0x008000, 0x808000, 0x800000, 0x800080},
    {0x000000, 0x000040, 0x404080, 0x004040, 0x004000, 0x404000, 0x400000, 0x400040},
};

constexpr std::array<int, k_size_count> k_sizes = {8, 9, 10, 11, 12, 14, 16, 18, 20};

// Two of the names have no face of their own on the label: they are drawn,
// and applied, in Times New Roman.
constexpr std::array<FontLabel, k_font_count> k_fonts = {{
    {"Comic Sans MS", "Comic Sans MS"},
    {"Courier", "Courier"},
    {"Courier New", "Courier New"},
    {"Fixedsys", "Fixedsys"},
    {"Garamond", "Times New Roman"},
    {"Microsoft Sans Serif", "Times New Roman"},
    {"Times New Roman", "Times New Roman"},
    {"MS Sans Serif", "MS Sans Serif"},
}};

} // namespace

std::optional<unsigned> palette_colour(int index)
{
    if (index < 0 || index >= k_palette_size)
        return std::nullopt;
    const auto [column, row] = palette_cell(index);
    return k_palette[row][column];
}

std::pair<int, int> palette_cell(int index)
{
    return {index / k_palette_rows, index % k_palette_rows};
}

const std::array<int, k_size_count>& font_sizes()
{
    return k_sizes;
}

std::optional<int> font_size_for(int index)
{
    if (index < 0 || index >= k_size_count)
        return std::nullopt;
    return k_sizes[size_t(index)];
}

QString font_size_caption(int index)
{
    const std::optional<int> size = font_size_for(index);
    return size ? QString::number(*size) : QString();
}

int display_size(int first_set_index)
{
    if (first_set_index < 0 || first_set_index >= k_size_count - 1)
        return k_sizes.back();
    return k_sizes[size_t(first_set_index)];
}

const std::array<FontLabel, k_font_count>& font_labels()
{
    return k_fonts;
}

QString applied_font(int index)
{
    if (index < 0 || index >= k_font_count)
        return {};
    return QString::fromLatin1(k_fonts[size_t(index)].applied);
}

std::optional<Style> style_for(int index)
{
    switch (index) {
    case 0: return Style::Bold;
    case 1: return Style::Italic;
    case 2: return Style::StrikeThru;
    case 3: return Style::Underline;
    default: return std::nullopt;
    }
}

bool toggled(std::optional<bool> current)
{
    return !(current && *current);
}

std::optional<int> alignment_for(int index)
{
    switch (index) {
    case 0: return 0;
    case 1: return 2;
    case 2: return 1;
    default: return std::nullopt;
    }
}

std::optional<int> find_options_for(int index)
{
    switch (index) {
    case 0: return 2;
    case 1: return 4;
    case 2: return 0;
    default: return std::nullopt;
    }
}

QString find_result_text(int found_pos)
{
    return found_pos == -1 ? QStringLiteral("Not found") : QStringLiteral("Found");
}

int next_start(int found_pos, int start_pos)
{
    return found_pos == -1 ? start_pos : found_pos + 1;
}

QString length_text(const QString& displayed_text)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < displayed_text.size(); ++i) {
        if (displayed_text[i].isHighSurrogate() && i + 1 < displayed_text.size()
            && displayed_text[i + 1].isLowSurrogate())
            ++i;
        ++n;
    }
    return QString::number(n);
}

bool closes_window(int key_ascii, bool edit_mode)
{
    return key_ascii == 27 || (!edit_mode && key_ascii == '2');
}

bool reference_refuses(int key_ascii)
{
    return key_ascii == '"';
}

QString refused_key_message()
{
    return QStringLiteral("Character not supported \"");
}

QString note_caption(const QString& picfile)
{
    return QStringLiteral("Note for ") + picfile;
}

QVariant note_field_value(const QString& storage_value)
{
    return storage_value.isNull() ? QVariant() : QVariant(storage_value);
}

QVariant reference_field_value(const QString& text, const QVariant& stored)
{
    if (text.isEmpty() && (!stored.isValid() || stored.isNull()))
        return QVariant();
    return text;
}

std::vector<std::pair<int, QVariant>> note_save_fields(const QString& note, const QString& reference,
                                                       const QString& addnote, const QVariant& stored_reference,
                                                       int column_count)
{
    std::vector<std::pair<int, QVariant>> fields;
    if (column_count > store::col_note)
        fields.emplace_back(store::col_note, note_field_value(note));
    if (column_count > store::col_reference)
        fields.emplace_back(store::col_reference, reference_field_value(reference, stored_reference));
    if (column_count > store::col_addnote)
        fields.emplace_back(store::col_addnote, note_field_value(addnote));
    return fields;
}

} // namespace mosswick::notes
